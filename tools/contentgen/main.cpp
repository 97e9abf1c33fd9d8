// contentgen: makes the game's sample content and packs it into the game's
// archives, or checks a set of archives with the game's own readers.
//
//   contentgen <content folder> <font folder> <output folder> [--png <folder>]
//   contentgen --check <folder> [<name list or names header>...]
//   contentgen --list <content folder> <font folder>
//   contentgen --frame <folder> <animation>[:<p1>,<p2>...] <sequence> <out.png>
//   contentgen --scene <folder> <scene name> <out.png>
//
// The content folder holds the hand-written texts, one subfolder per
// archive ("common" goes into common.dat). Pictures, animations, sounds and
// tunes are drawn here from a fixed seed, so two runs give the same bytes.
// --png also writes every picture as a file, to look at. --list prints
// every entry name with its archive. --frame writes the first frame of a
// sequence as a picture, to look at a template's result; --scene draws a
// scene with every upgrade, the waitress and a few customers.
//
// Exit codes: 0 done, 1 failed (the reason on stderr), 2 bad usage.
#include "check.h"
#include "generator.h"

#include "tsl2/error.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

const unsigned int SEED = 20261207;

const char* const USAGE =
    "usage: contentgen <content folder> <font folder> <output folder> [--png <folder>]\n"
    "       contentgen --check <folder> [<name list or names header>...]\n"
    "       contentgen --list <content folder> <font folder>\n"
    "       contentgen --frame <folder> <animation>[:<p1>,<p2>...] <sequence> <out.png>\n"
    "       contentgen --scene <folder> <scene name> <out.png>\n";

std::vector<std::string> listFolder(const std::string& sFolder) {
    std::vector<std::string> aNames;
    DIR* pDir = opendir(sFolder.c_str());
    if (!pDir) return aNames;
    while (dirent* pEntry = readdir(pDir))
        if (pEntry->d_name[0] != '.') aNames.push_back(pEntry->d_name);
    closedir(pDir);
    std::sort(aNames.begin(), aNames.end());
    return aNames;
}

bool isFolder(const std::string& sPath) {
    struct stat info;
    return stat(sPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

Bytes readFile(const std::string& sPath) {
    std::ifstream in(sPath, std::ios::binary);
    if (!in) throw std::runtime_error("can't read " + sPath);
    std::ostringstream text;
    text << in.rdbuf();
    std::string s = text.str();
    return Bytes(s.begin(), s.end());
}

// Every file of content/<archive>/ into <archive>.dat, named as the file.
void addHandWritten(ContentSet& set, const std::string& sContent) {
    if (!isFolder(sContent)) throw std::runtime_error("'" + sContent + "' is not a folder");
    for (const std::string& sSub : listFolder(sContent)) {
        if (!isFolder(sContent + "/" + sSub)) continue;
        std::string sArchive = sSub + ".dat";
        for (const std::string& sFile : listFolder(sContent + "/" + sSub)) {
            std::string sPath = sContent + "/" + sSub + "/" + sFile;
            // Entries are flat: a folder would give names the game never asks for.
            if (isFolder(sPath)) throw std::runtime_error("'" + sPath + "' is a folder; archives hold files only");
            set.addBytes(sArchive, sFile, readFile(sPath));
        }
    }
}

void addFonts(ContentSet& set, const std::string& sFonts) {
    set.addBytes("common.dat", "dejavusans.ttf", readFile(sFonts + "/DejaVuSans.ttf"));
    set.addBytes("common.dat", "dejavusans-bold.ttf", readFile(sFonts + "/DejaVuSans-Bold.ttf"));
}

void generate(ContentSet& set, const std::string& sContent, const std::string& sFonts) {
    TextDrawer text(sFonts);
    Generator gen(set, text, SEED);
    addHandWritten(set, sContent);
    addFonts(set, sFonts);
    makeInterface(gen);
    makeScreens(gen);
    makeMap(gen);
    makeStore(gen);
    makeStoryPages(gen);
    makePeople(gen);
    makeWaitress(gen);
    makeScenes(gen);
    makeHowtoPages(gen);
    makeSounds(gen);
}

void writePictures(const ContentSet& set, const std::string& sFolder) {
    mkdir(sFolder.c_str(), 0755);
    for (const auto& archive : set.getArchives())
        for (const auto& entry : archive.second) {
            if (entry.first.size() < 4 || entry.first.compare(entry.first.size() - 4, 4, ".png") != 0) continue;
            std::ofstream out(sFolder + "/" + entry.first, std::ios::binary);
            out.write(reinterpret_cast<const char*>(entry.second.data()), static_cast<std::streamsize>(entry.second.size()));
        }
}

int run(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--scene") == 0) return writeScenePreview(argv[2], argv[3], argv[4]);
    if (argc == 6 && std::strcmp(argv[1], "--frame") == 0) return writeFrame(argv[2], argv[3], argv[4], argv[5]);
    if (argc >= 3 && std::strcmp(argv[1], "--check") == 0) return checkContent(argv[2], std::vector<std::string>(argv + 3, argv + argc));
    if (argc == 4 && std::strcmp(argv[1], "--list") == 0) {
        ContentSet set;
        generate(set, argv[2], argv[3]);
        for (const auto& entry : set.getIndex()) std::printf("%s %s\n", entry.second.c_str(), entry.first.c_str());
        return 0;
    }
    if (argc != 4 && !(argc == 6 && std::strcmp(argv[4], "--png") == 0)) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    ContentSet set;
    generate(set, argv[1], argv[2]);
    set.write(argv[3]);
    if (argc == 6) writePictures(set, argv[5]);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const Tsl::Exception& e) {
        std::fprintf(stderr, "contentgen: %s: %s\n", e.getTypeName(), e.getMessage());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "contentgen: %s\n", e.what());
    }
    return 1;
}
