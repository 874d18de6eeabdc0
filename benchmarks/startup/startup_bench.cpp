// Measures how long a program takes from its start until its first page is
// on the screen: the time from CreateProcess until a visible window of the
// process shows the control 1042 (the welcome text) visibly, directly or on
// a visible child page. Then it closes the program as Cancel would.
//   startup_bench.exe RUNS PROGRAM_A PROGRAM_B
// Runs both programs alternately, RUNS times each after one warm-up run,
// and prints every time and each program's median in milliseconds.
#include "ui_driver.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool ShowsWelcome(HWND top) {
    HWND page = ui::ShownPage(top);
    return ui::IsShown(top, 1042) || (page && ui::IsShown(page, 1042));
}

// Milliseconds until the welcome text is visible; -1 when it never was.
double TimeOneStart(const std::string& program) {
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    test::Program run("\"" + program + "\"");
    HWND window = nullptr;
    double elapsed = -1;
    while (!run.HasEnded()) {
        if ((window = run.Window(nullptr, ShowsWelcome)) != nullptr) {
            QueryPerformanceCounter(&now);
            elapsed = 1000.0 * (now.QuadPart - start.QuadPart) / frequency.QuadPart;
            break;
        }
        QueryPerformanceCounter(&now);
        if (now.QuadPart - start.QuadPart > frequency.QuadPart * 30) break;
        Sleep(1);
    }
    if (window) ui::PostCommand(window, IDCANCEL);
    run.WaitForExit(10000);
    return elapsed;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        printf("usage: startup_bench.exe RUNS PROGRAM_A PROGRAM_B\n");
        return 2;
    }
    int runs = atoi(argv[1]);
    std::string programs[2] = {argv[2], argv[3]};
    std::vector<double> times[2];
    for (int round = -1; round < runs; ++round) {
        for (int p = 0; p < 2; ++p) {
            double ms = TimeOneStart(programs[p]);
            if (ms < 0) {
                printf("%s: no visible first page\n", programs[p].c_str());
                return 1;
            }
            if (round >= 0) times[p].push_back(ms);  // round -1 warms up
        }
    }
    for (int p = 0; p < 2; ++p) {
        printf("%s:", programs[p].c_str());
        for (double t : times[p]) printf(" %.0f", t);
        printf("\nmedian %.1f\n", Median(times[p]));
    }
    return 0;
}
