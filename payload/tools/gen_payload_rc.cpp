// Build tool (runs on the build machine): writes the resource script that
// embeds the payload files of the catalogue as "OWNER_DATA" resources.
//
//   gen_payload_rc MODE OUT.rc FILES_DIR GENERATED_DIR MAKER_DIR STANDIN_DIR
//                  [--printer-name=NAME] [--company=TEXT] [--version=A.B.C.D] [--x64=off]
//
// MODE "release" embeds what exists, lists the ids it embeds and lacks, and
// fails naming every absent maker file; "release-incomplete-ok" leaves them
// out and goes on (test builds) and writes what it lacks into OUT.rc.lacks.
// MODE "standin" fills every absent file with labelled stand-in bytes of the
// catalogued size (for tests, never shipped).
//
// The maker may also supply the text payloads of payload/files under their
// own names (KRX.GPD serves every set that embeds it). In every mode the run
// fails on a maker's DLL that is no 32-bit Windows DLL, a text payload that
// is not one (no text, a model GPD without *GPDSpecVersion, an INF that does
// not name the files the install hands to the printer installer), and any
// file of the maker folder that the build does not take.
//
// The options put the maker into the text payloads: the printer name into
// the embedded settings, the company into the INF's Provider, the version
// and the build's date (SOURCE_DATE_EPOCH, or today) into its DriverVer.
// Rewritten texts go to OUT's folder, OUT.files/.
//
// In every mode a maker's DLL that is not a Windows DLL of its set's machine
// (PE32 i386, or PE32+ x64 for the x64 set) fails the run. A maker's file
// marked optional (the x64 set's catalog) is never missed. "--x64=off"
// leaves the whole x64 set out of a release build: that setup.exe refuses
// 64-bit Windows.
#include "../catalogue.h"
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

static bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

static std::string Stamp(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return "";
    std::ostringstream s;
    s << st.st_size << " " << st.st_mtime;
    return s.str();
}

// The maker's files are named "<id>_<file name>" with the model name KRX.
static std::string MakerName(const CatalogueEntry& e) {
    char name[300];
    snprintf(name, sizeof name, e.fileName, "KRX");
    return std::to_string(e.id) + "_" + name;
}

static unsigned Le(const std::string& b, size_t at, int bytes) {
    unsigned v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | (unsigned char)b[at + i];
    return v;
}

// The Windows DLL a set's files must be: the install puts the 32-bit sets'
// into the spooler's 32-bit driver folder (w32x86), the x64 set's into the
// x64 one.
struct DllKind {
    unsigned machine, magic;
    const char* what;        // "32-bit Windows DLL (PE32, i386)"
    const char* notFor;      // "not for i386"
    const char* notFormat;   // "not PE32"
};
static const DllKind kDll32 = {0x14c, 0x10b, "32-bit Windows DLL (PE32, i386)", "not for i386", "not PE32"};
static const DllKind kDll64 = {0x8664, 0x20b, "64-bit Windows DLL (PE32+, x64)", "not for x64", "not PE32+"};

// Why the bytes are not such a DLL, or null when they are one.
static const char* NotADll(const std::string& b, const DllKind& kind) {
    if (b.size() < 64 || b[0] != 'M' || b[1] != 'Z') return "no MZ header";
    size_t pe = Le(b, 0x3c, 4);
    if (pe > b.size() || b.size() - pe < 26 || b.compare(pe, 4, std::string("PE\0\0", 4)) != 0)
        return "no PE header";
    if (Le(b, pe + 4, 2) != kind.machine) return kind.notFor;
    if (Le(b, pe + 24, 2) != kind.magic) return kind.notFormat;
    if (!(Le(b, pe + 22, 2) & 0x2000)) return "not a DLL";
    return nullptr;
}

static bool EndsWithDll(const std::string& name) {
    return name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, ".dll") == 0;
}

static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Writes the bytes unless the file holds them already, so that an unchanged
// payload keeps its time and nothing is rebuilt for it.
static void WriteIfChanged(const std::string& path, const std::string& bytes) {
    if (ReadFile(path) != bytes || !Exists(path)) std::ofstream(path, std::ios::binary) << bytes;
}

// --- Text payloads ----------------------------------------------------------

// The payload files of payload/files that a maker may supply instead.
static bool MakerMaySupply(PayloadRole role) {
    return role == PayloadRole::ModelGpd || role == PayloadRole::StandardNames || role == PayloadRole::PluginIni ||
           role == PayloadRole::Inf;
}

static std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

static std::string Trimmed(const std::string& text) {
    size_t from = text.find_first_not_of(" \t\r\n"), to = text.find_last_not_of(" \t\r\n");
    return from == std::string::npos ? "" : text.substr(from, to - from + 1);
}

// The lines of a text, each with its own line end.
static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(at, end - at));
        at = end;
    }
    return lines;
}

static std::string LineEnd(const std::string& line) {
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0) return "\r\n";
    return !line.empty() && line.back() == '\n' ? "\n" : "";
}

// The lower-case name of a section's header line ("[Version]"), else "".
static std::string SectionOf(const std::string& line) {
    std::string text = Trimmed(line);
    size_t close = text.find(']');
    return text.size() > 2 && text[0] == '[' && close != std::string::npos ? Lower(text.substr(1, close - 1)) : "";
}

// The lower-case key of a "key = value" line, else "" (comments among them).
static std::string KeyOf(const std::string& line) {
    std::string text = Trimmed(line);
    size_t equals = text.find('=');
    return text.empty() || text[0] == ';' || equals == std::string::npos ? "" : Lower(Trimmed(text.substr(0, equals)));
}

static std::string ValueOf(const std::string& line) { return Trimmed(line.substr(line.find('=') + 1)); }

static size_t Count(const std::string& text, const std::string& what) {
    std::string lower = Lower(text), needle = Lower(what);
    size_t n = 0;
    for (size_t at = lower.find(needle); at != std::string::npos; at = lower.find(needle, at + 1)) ++n;
    return n;
}

// Why the bytes are no text payload, or "" when they are one: text lines
// (no NUL or control character but tab, CR, LF and the end-of-file mark),
// a model GPD with its *GPDSpecVersion, an INF that names every file the
// install hands to the printer installer and the model "KRX". The install
// replaces "KRX" in the INF by the printer name letter for letter, so the
// model part of each name must stand in capitals.
static std::string NotATextPayload(const CatalogueEntry& e, const std::string& bytes) {
    for (unsigned char c : bytes)
        if (c < 0x20 && c != '\t' && c != '\r' && c != '\n' && c != 0x1a) return "it is not text";
    if (e.role == PayloadRole::ModelGpd) {
        for (const std::string& line : Lines(bytes))
            if (Trimmed(line).rfind("*GPDSpecVersion", 0) == 0) return "";
        return "a GPD must declare its *GPDSpecVersion";
    }
    if (e.role != PayloadRole::Inf) return "";
    std::string missing;
    std::set<std::string> names = {"\"KRX\""};
    for (size_t i = 0; i < kCatalogueSize; ++i) {
        PayloadRole role = kCatalogue[i].role;
        if (role == PayloadRole::ModelGpd || role == PayloadRole::PluginIni || role == PayloadRole::RenderPlugin ||
            role == PayloadRole::UiPlugin || role == PayloadRole::ResourceDll || role == PayloadRole::FontMetrics) {
            char name[300];
            snprintf(name, sizeof name, kCatalogue[i].fileName, "KRX");
            names.insert(name);
        }
    }
    for (const std::string& name : names) {
        bool named = false;
        for (size_t at = 0; !named && at + name.size() <= bytes.size(); ++at) {
            size_t model = name.find("KRX");
            named = strncasecmp(bytes.c_str() + at, name.c_str(), name.size()) == 0 &&
                    (model == std::string::npos || bytes.compare(at + model, 3, "KRX") == 0);
        }
        if (!named) missing += (missing.empty() ? "" : ", ") + name;
    }
    return missing.empty() ? "" : "it does not name " + missing +
                                      ": an INF must name every file the install hands to the printer installer";
}

// The embedded settings with the maker's printer name.
static std::string WithPrinterName(const std::string& settings, const std::string& name) {
    std::string out;
    for (const std::string& line : Lines(settings))
        out += KeyOf(line) == "printername" ? "PrinterName=" + name + LineEnd(line) : line;
    return out;
}

// An INF string: quotes doubled, a percent sign written twice.
static std::string InfString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) out += c == '"' ? "\"\"" : c == '%' ? "%%" : std::string(1, c);
    return out + "\"";
}

// The INF with the maker's company as its Provider, through the string
// COMPANY of [Strings] (which replaces the string the Provider named, when
// nothing else uses that), and the maker's version, dated, as its DriverVer.
// Lines stay where they are, in the INF's own line ends; a missing one is
// added at the head of its section.
static std::string WithMaker(const std::string& inf, const std::string& company, const std::string& version,
                             const std::string& date) {
    std::vector<std::string> lines = Lines(inf);
    const std::string eol = lines.empty() || LineEnd(lines[0]).empty() ? "\r\n" : LineEnd(lines[0]);
    std::string section, oldProvider;
    bool hasProvider = false, hasDriverVer = false;
    for (const std::string& line : lines) {
        if (!SectionOf(line).empty()) section = SectionOf(line);
        if (section != "version") continue;
        if (KeyOf(line) == "provider") {
            hasProvider = true;
            std::string value = ValueOf(line);
            if (value.size() > 2 && value.front() == '%' && value.back() == '%' && Count(inf, value) == 1)
                oldProvider = Lower(value.substr(1, value.size() - 2));
        }
        hasDriverVer = hasDriverVer || KeyOf(line) == "driverver";
    }
    const std::string providerLine = "Provider=%COMPANY%", companyLine = "COMPANY=" + InfString(company);
    const std::string driverVerLine = "DriverVer=" + date + "," + version;
    std::string out;
    bool hasStrings = false;
    section.clear();
    for (const std::string& line : lines) {
        const std::string key = KeyOf(line);
        if (!SectionOf(line).empty()) {
            section = SectionOf(line);
            out += line + (LineEnd(line).empty() ? eol : "");
            if (section == "version" && !company.empty() && !hasProvider) out += providerLine + eol;
            if (section == "version" && !version.empty() && !hasDriverVer) out += driverVerLine + eol;
            if (section == "strings" && !company.empty()) out += companyLine + eol;
            hasStrings = hasStrings || section == "strings";
        } else if (section == "version" && key == "provider" && !company.empty()) {
            out += providerLine + LineEnd(line);
        } else if (section == "version" && key == "driverver" && !version.empty()) {
            out += driverVerLine + LineEnd(line);
        } else if (section == "strings" && !company.empty() && (key == "company" || (!oldProvider.empty() && key == oldProvider))) {
            continue;
        } else {
            out += line;
        }
    }
    if (!company.empty() && !hasStrings) {
        if (!out.empty() && out.back() != '\n') out += eol;
        out += "[Strings]" + eol + companyLine + eol;
    }
    return out;
}

// The build's date as a DriverVer gives it, mm/dd/yyyy.
static std::string BuildDate() {
    const char* epoch = getenv("SOURCE_DATE_EPOCH");
    time_t now = epoch && *epoch ? static_cast<time_t>(strtoll(epoch, nullptr, 10)) : time(nullptr);
    struct tm day;
    gmtime_r(&now, &day);
    char text[32];
    strftime(text, sizeof text, "%m/%d/%Y", &day);
    return text;
}

static std::string WriteStandIn(const std::string& dir, const CatalogueEntry& e) {
    std::string path = dir + "/" + std::to_string(e.id) + ".standin";
    std::string label = "STAND-IN PAYLOAD " + std::to_string(e.id) +
                        " - TEST BUILD ONLY, NOT THE MAKER'S FILE\r\n";
    std::string bytes;
    while (bytes.size() < e.size) bytes += label;
    bytes.resize(e.size);
    WriteIfChanged(path, bytes);
    return path;
}

static std::string Quote(const std::string& path) {
    std::string q = "\"";
    for (char c : path) q += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return q + "\"";
}

int main(int argc, char** argv) {
    if (argc < 7 || (strcmp(argv[1], "standin") != 0 && strcmp(argv[1], "release") != 0 &&
                     strcmp(argv[1], "release-incomplete-ok") != 0)) {
        fprintf(stderr, "usage: gen_payload_rc MODE OUT.rc FILES GENERATED MAKER STANDIN [OPTION...]\n");
        return 2;
    }
    bool standIn = strcmp(argv[1], "standin") == 0;
    bool release = strcmp(argv[1], "release") == 0;
    std::string out = argv[2], files = argv[3], generated = argv[4], maker = argv[5], standins = argv[6];
    std::map<std::string, std::string> options;
    for (int i = 7; i < argc; ++i) {
        const char* equals = strchr(argv[i], '=');
        if (strncmp(argv[i], "--", 2) != 0 || !equals) {
            fprintf(stderr, "gen_payload_rc: %s is no --option=value\n", argv[i]);
            return 2;
        }
        options[std::string(argv[i] + 2, static_cast<size_t>(equals - argv[i] - 2))] = equals + 1;
    }
    const bool withoutX64 = !standIn && options["x64"] == "off";
    const std::string rewritten = out + ".files";
    mkdir(standins.c_str(), 0755);
    mkdir(rewritten.c_str(), 0755);

    std::ostringstream rc, embeds, lacks;
    std::string missing, refused, optional;
    std::set<std::string> taken;   // the maker folder's files the build takes
    std::map<std::string, std::string> texts;   // a text payload's name: the path embedded
    bool bad = false, missingX64 = false;
    rc << "// Generated from the payload catalogue; do not edit.\n";
    rc << "LANGUAGE 4, 2\n";   // Chinese (PRC), 0x0804
    for (size_t i = 0; i < kCatalogueSize; ++i) {
        const CatalogueEntry& e = kCatalogue[i];
        if (withoutX64 && e.set == PayloadSet::X64) {
            rc << "// " << e.id << " left out: no x64 set\n";
            continue;
        }
        std::string source = e.source, path;
        bool fromMaker = source.rfind("maker:", 0) == 0;
        if (source.rfind("file:", 0) == 0) {
            std::string name = source.substr(5);
            if (MakerMaySupply(e.role)) taken.insert(name);
            if (texts.count(name)) {
                path = texts[name];
            } else {
                path = MakerMaySupply(e.role) && Exists(maker + "/" + name) ? maker + "/" + name : files + "/" + name;
                std::string bytes = ReadFile(path), why = NotATextPayload(e, bytes);
                if (!why.empty()) {
                    refused += "  " + path + ": " + why + "\n";
                } else if (e.role == PayloadRole::SettingsFile && !options["printer-name"].empty()) {
                    path = rewritten + "/" + name;
                    WriteIfChanged(path, WithPrinterName(bytes, options["printer-name"]));
                } else if (e.role == PayloadRole::Inf && !(options["company"] + options["version"]).empty()) {
                    path = rewritten + "/" + name;
                    WriteIfChanged(path, WithMaker(bytes, options["company"], options["version"], BuildDate()));
                } else {
                    unlink((rewritten + "/" + name).c_str());   // a rewrite of an earlier build's options
                }
                texts[name] = path;
            }
        } else if (source.rfind("gen:", 0) == 0) {
            path = generated + "/" + source.substr(4);
        } else {
            path = maker + "/" + MakerName(e);
            taken.insert(MakerName(e));
        }
        if (!Exists(path)) {
            const bool optionalFile = source == "maker:optional";
            if (!fromMaker)
                fprintf(stderr, "gen_payload_rc: %u: %s is missing\n", e.id, path.c_str());
            else if (optionalFile)
                optional += " " + MakerName(e);
            else
                missing += "  " + MakerName(e) + "\n";
            missingX64 = missingX64 || (fromMaker && !optionalFile && e.set == PayloadSet::X64);
            if (!optionalFile) lacks << " " << e.id;
            if (!standIn) {
                rc << "// " << e.id << " absent\n";
                continue;
            }
            path = WriteStandIn(standins, e);
        } else if (fromMaker && EndsWithDll(path)) {
            const DllKind& kind = e.set == PayloadSet::X64 ? kDll64 : kDll32;
            if (const char* why = NotADll(ReadFile(path), kind)) {
                fprintf(stderr, "gen_payload_rc: %s is not a %s: %s (%s)\n", MakerName(e).c_str(), kind.what, why,
                        path.c_str());
                bad = true;
            }
        }
        embeds << " " << e.id;
        rc << "// " << Stamp(path) << "\n" << e.id << " OWNER_DATA " << Quote(path) << "\n";
    }

    // Nothing in the maker folder goes unnoticed: a file under a name the
    // build does not take (a text payload under an id, a name in other
    // letters) would otherwise ship the build's own file in its place.
    std::set<std::string> untaken;
    if (DIR* folder = opendir(maker.c_str())) {
        while (const dirent* entry = readdir(folder)) {
            std::string name = entry->d_name;
            struct stat st;
            if (stat((maker + "/" + name).c_str(), &st) == 0 && S_ISREG(st.st_mode) && !taken.count(name))
                untaken.insert(name);
        }
        closedir(folder);
    }
    std::string strangers;
    for (const std::string& name : untaken) strangers += "  " + name + "\n";
    if (!strangers.empty()) {
        std::string names;
        for (size_t i = 0; i < kCatalogueSize; ++i)
            if (MakerMaySupply(kCatalogue[i].role) && names.find(kCatalogue[i].source + 5) == std::string::npos)
                names += std::string(names.empty() ? "" : ", ") + (kCatalogue[i].source + 5);
        fprintf(stderr,
                "gen_payload_rc: the build takes none of these files of %s:\n%s"
                "It takes the maker's binaries as <id>_<file name> (149_UNIDRV.DLL) and the text payloads\n"
                "under their own names (%s), letter case as given. Rename or remove them.\n",
                maker.c_str(), strangers.c_str(), names.c_str());
        bad = true;
    }
    if (!refused.empty()) {
        fprintf(stderr, "gen_payload_rc: these text payloads cannot be embedded:\n%s", refused.c_str());
        bad = true;
    }
    if (bad) return 1;
    if (!standIn) {
        const std::string lacking = lacks.str().empty() ? " nothing" : lacks.str();
        printf("payload: embeds%s\npayload: lacks%s\n", embeds.str().c_str(), lacking.c_str());
        if (!optional.empty()) printf("payload: goes without the optional%s\n", optional.c_str());
        if (withoutX64) printf("payload: no x64 set: this setup.exe will refuse 64-bit Windows (exit code 5)\n");
        fflush(stdout);
        if (release && !missing.empty()) {
            fprintf(stderr,
                    "gen_payload_rc: the maker's files are missing from %s:\n%s"
                    "A setup.exe without them cannot install the printer. Put them there, or\n"
                    "configure with -DPAYLOAD_INCOMPLETE_OK=ON for a build that is not shipped.\n%s",
                    maker.c_str(), missing.c_str(),
                    missingX64 ? "Without the x64 files, -DPAYLOAD_X64=OFF builds a setup.exe that refuses\n"
                                 "64-bit Windows.\n"
                               : "");
            return 1;
        }
        if (!release) WriteIfChanged(out + ".lacks", "lacks" + lacking + "\n");
    }

    WriteIfChanged(out, rc.str());
    return 0;
}
