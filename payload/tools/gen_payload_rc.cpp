// Build tool (runs on the build machine): writes the resource script that
// embeds the payload files of the catalogue as "OWNER_DATA" resources.
//
//   gen_payload_rc MODE OUT.rc FILES_DIR GENERATED_DIR MAKER_DIR STANDIN_DIR
//
// MODE "release" embeds what exists and leaves out absent maker files;
// MODE "standin" fills every absent file with labelled stand-in bytes of
// the catalogued size (for tests, never shipped).
#include "../catalogue.h"
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
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
    if (argc != 7) {
        fprintf(stderr, "usage: gen_payload_rc MODE OUT.rc FILES GENERATED MAKER STANDIN\n");
        return 2;
    }
    bool standIn = strcmp(argv[1], "standin") == 0;
    std::string out = argv[2], files = argv[3], generated = argv[4], maker = argv[5], standins = argv[6];
    mkdir(standins.c_str(), 0755);

    std::ostringstream rc;
    rc << "// Generated from the payload catalogue; do not edit.\n";
    rc << "LANGUAGE 4, 2\n";   // Chinese (PRC), 0x0804
    for (size_t i = 0; i < kCatalogueSize; ++i) {
        const CatalogueEntry& e = kCatalogue[i];
        std::string source = e.source, path;
        if (source.rfind("file:", 0) == 0) path = files + "/" + source.substr(5);
        else if (source.rfind("gen:", 0) == 0) path = generated + "/" + source.substr(4);
        else path = maker + "/" + MakerName(e);
        if (!Exists(path)) {
            if (source.rfind("maker:", 0) != 0)
                fprintf(stderr, "gen_payload_rc: %u: %s is missing\n", e.id, path.c_str());
            if (!standIn) {
                rc << "// " << e.id << " absent\n";
                continue;
            }
            path = WriteStandIn(standins, e);
        }
        rc << "// " << Stamp(path) << "\n" << e.id << " OWNER_DATA " << Quote(path) << "\n";
    }

    std::ifstream old(out);
    std::string current((std::istreambuf_iterator<char>(old)), std::istreambuf_iterator<char>());
    if (current != rc.str()) std::ofstream(out) << rc.str();
    return 0;
}
