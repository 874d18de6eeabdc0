// Build tool (runs on the build machine): writes the resource script that
// embeds the payload files of the catalogue as "OWNER_DATA" resources.
//
//   gen_payload_rc MODE OUT.rc FILES_DIR GENERATED_DIR MAKER_DIR STANDIN_DIR [no-x64]
//
// MODE "release" embeds what exists, lists the ids it embeds and lacks, and
// fails naming every absent maker file; "release-incomplete-ok" leaves them
// out and goes on (test builds). MODE "standin" fills every absent file with
// labelled stand-in bytes of the catalogued size (for tests, never shipped).
// In every mode a maker's DLL that is not a Windows DLL of its set's machine
// (PE32 i386, or PE32+ x64 for the x64 set) fails the run. A maker's file
// marked optional (the x64 set's catalog) is never missed. "no-x64" leaves
// the whole x64 set out of a release build: that setup.exe refuses 64-bit
// Windows.
#include "../catalogue.h"
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <strings.h>
#include <sys/stat.h>

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

static std::string WriteStandIn(const std::string& dir, const CatalogueEntry& e) {
    std::string path = dir + "/" + std::to_string(e.id) + ".standin";
    std::string label = "STAND-IN PAYLOAD " + std::to_string(e.id) +
                        " - TEST BUILD ONLY, NOT THE MAKER'S FILE\r\n";
    std::string bytes;
    while (bytes.size() < e.size) bytes += label;
    bytes.resize(e.size);
    std::ifstream old(path, std::ios::binary);
    std::string current((std::istreambuf_iterator<char>(old)), std::istreambuf_iterator<char>());
    if (current != bytes) std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

static std::string Quote(const std::string& path) {
    std::string q = "\"";
    for (char c : path) q += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return q + "\"";
}

int main(int argc, char** argv) {
    if ((argc != 7 && !(argc == 8 && strcmp(argv[7], "no-x64") == 0)) ||
        (strcmp(argv[1], "standin") != 0 && strcmp(argv[1], "release") != 0 &&
         strcmp(argv[1], "release-incomplete-ok") != 0)) {
        fprintf(stderr, "usage: gen_payload_rc MODE OUT.rc FILES GENERATED MAKER STANDIN [no-x64]\n");
        return 2;
    }
    bool standIn = strcmp(argv[1], "standin") == 0;
    bool release = strcmp(argv[1], "release") == 0;
    bool withoutX64 = argc == 8 && !standIn;
    std::string out = argv[2], files = argv[3], generated = argv[4], maker = argv[5], standins = argv[6];
    mkdir(standins.c_str(), 0755);

    std::ostringstream rc, embeds, lacks;
    std::string missing, optional;
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
        if (source.rfind("file:", 0) == 0) path = files + "/" + source.substr(5);
        else if (source.rfind("gen:", 0) == 0) path = generated + "/" + source.substr(4);
        else path = maker + "/" + MakerName(e);
        bool fromMaker = source.rfind("maker:", 0) == 0;
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
            std::ifstream in(path, std::ios::binary);
            std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            const DllKind& kind = e.set == PayloadSet::X64 ? kDll64 : kDll32;
            if (const char* why = NotADll(bytes, kind)) {
                fprintf(stderr, "gen_payload_rc: %s is not a %s: %s (%s)\n", MakerName(e).c_str(), kind.what, why,
                        path.c_str());
                bad = true;
            }
        }
        embeds << " " << e.id;
        rc << "// " << Stamp(path) << "\n" << e.id << " OWNER_DATA " << Quote(path) << "\n";
    }

    if (bad) return 1;
    if (!standIn) {
        printf("payload: embeds%s\npayload: lacks%s\n", embeds.str().c_str(),
               lacks.str().empty() ? " nothing" : lacks.str().c_str());
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
    }

    std::ifstream old(out);
    std::string current((std::istreambuf_iterator<char>(old)), std::istreambuf_iterator<char>());
    if (current != rc.str()) std::ofstream(out) << rc.str();
    return 0;
}
