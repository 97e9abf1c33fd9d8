// grftool: packs a folder into a "GRF" archive, lists one, extracts an entry.
//
//   grftool pack <folder> <archive>
//   grftool list <archive>
//   grftool extract <archive> <entry> <out-file>
//
// Exit codes: 0 done, 1 failed (the reason on stderr), 2 bad usage.
#include "paths.h"
#include "replacingoutput.h"

#include "tsl2/file.h"
#include "tsl2/resource.h"
#include "tsl2/resourcefile.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

namespace {

const char* const USAGE =
    "usage: grftool pack <folder> <archive>\n"
    "       grftool list <archive>\n"
    "       grftool extract <archive> <entry> <out-file>\n"
    "       grftool --help\n";

const char* const HELP =
    "\n"
    "pack     stores every file below the folder as an entry named by its path\n"
    "         relative to the folder. A symbolic link to a file is stored as the\n"
    "         file; links to folders are skipped (they may lead back into the\n"
    "         tree). The archive may not lie inside the folder it packs.\n"
    "list     prints each entry's size, stored size, method and name; bytes of a\n"
    "         name that would steer the terminal are shown as \\xNN, a backslash\n"
    "         as \\\\.\n"
    "extract  writes one entry to a file.\n"
    "\n"
    "pack and extract write to a temporary file beside the target and put it in\n"
    "place only when it is complete: after a failure the target is as it was.\n"
    "Exit codes: 0 done, 1 failed (the reason on stderr), 2 bad usage.\n";

// Says what is wrong with the command line, then how it goes.
int usage(const std::string& sProblem) {
    std::fprintf(stderr, "grftool: %s\n", sProblem.c_str());
    std::fputs(USAGE, stderr);
    return 2;
}

struct Command {
    const char* pszName;
    int nArguments;
    const char* pszArguments;
};

const Command COMMANDS[] = {
    {"pack", 2, "a folder and an archive"},
    {"list", 1, "an archive"},
    {"extract", 3, "an archive, an entry name and an output file"},
};

// Empty when the command line has a known command with its number of
// arguments; else what is wrong with it.
std::string problemWith(int argc, char** argv) {
    if (argc < 2) return "no command given";
    for (const Command& command : COMMANDS) {
        if (std::strcmp(argv[1], command.pszName) != 0) continue;
        int nGiven = argc - 2;
        if (nGiven == command.nArguments) return std::string();
        return std::string(command.pszName) + " takes " + command.pszArguments + " (got " +
               std::to_string(nGiven) + (nGiven == 1 ? " argument)" : " arguments)");
    }
    return std::string("unknown command '") + argv[1] + "'";
}

// The archive reader's messages about a damaged header would mislead for a
// file that was never an archive: say so plainly. Files that can't be read
// are left to the reader, whose message gives the reason.
void requireArchive(const char* pszArchive) {
    FILE* pFile = std::fopen(pszArchive, "rb");
    if (!pFile) return;
    char aMagic[3] = {0, 0, 0};
    size_t nRead = std::fread(aMagic, 1, sizeof(aMagic), pFile);
    std::fclose(pFile);
    struct stat info;
    if (stat(pszArchive, &info) == 0 && S_ISDIR(info.st_mode)) return;
    if (nRead < sizeof(aMagic) || std::memcmp(aMagic, Tsl::GRF_MAGIC, sizeof(aMagic)) != 0)
        TSL_THROW(BadStreamFormatException, "'%s' is not an archive", pszArchive);
}

int help() {
    std::fputs(USAGE, stdout);
    std::fputs(HELP, stdout);
    return 0;
}

// True when the archive would be written into the folder being packed, where
// the listing could pick up the half-written archive itself.
bool liesInside(const char* pszArchive, const char* pszFolder) {
    std::string sFolder = realPathOf(pszFolder);
    std::string sArchiveDir = realPathOf(folderOf(pszArchive));
    if (sFolder.empty() || sArchiveDir.empty()) return false;
    if (sFolder == "/") return true;
    return sArchiveDir == sFolder || sArchiveDir.compare(0, sFolder.size() + 1, sFolder + "/") == 0;
}

int pack(const char* pszFolder, const char* pszArchive) {
    TSL_TRACE();
    struct stat info;
    if (stat(pszFolder, &info) != 0 || !S_ISDIR(info.st_mode)) {
        std::fprintf(stderr, "grftool: '%s' is not a folder\n", pszFolder);
        return 1;
    }
    if (liesInside(pszArchive, pszFolder)) {
        std::fprintf(stderr, "grftool: the archive '%s' would lie inside the folder '%s' it packs\n", pszArchive,
                     pszFolder);
        return 1;
    }
    Tsl::FolderResourceProvider folder(pszFolder);
    Tsl::List<Tsl::String> lNames = folder.getResourceNames();
    // Before anything is written: no entry name may hold what names cannot.
    for (const Tsl::String& sName : lNames)
        if (!Tsl::FolderResourceProvider::isSafeName(sName)) {
            std::fprintf(stderr, "grftool: can't pack '%s/%s' : entry names may not contain a backslash\n",
                         folder.getName().c_str(), sName.c_str());
            return 1;
        }
    ReplacingOutput output(pszArchive);
    Tsl::File target(output.getWritePath(), Tsl::File::eWrite);
    Tsl::ResourceFileCompiler compiler(&target, false);
    for (const Tsl::String& sName : lNames) {
        // Opening the file names it and says why it can't be read.
        Tsl::File source(folder.getName() + "/" + sName, Tsl::File::eRead);
        compiler.addResource(&source, sName);
    }
    compiler.finish();
    target.close();
    output.commit();
    std::printf("packed %d entries from %s into %s\n", lNames.getCount(), pszFolder, pszArchive);
    return 0;
}

// The code point of the UTF-8 sequence at p, and its length in bytes; 0 when
// the bytes are no valid sequence.
int decodeUtf8(const unsigned char* p, int nLeft, unsigned int& nCodePoint) {
    int nLength;
    if (p[0] >= 0xC2 && p[0] <= 0xDF) {
        nLength = 2;
        nCodePoint = p[0] & 0x1Fu;
    } else if (p[0] >= 0xE0 && p[0] <= 0xEF) {
        nLength = 3;
        nCodePoint = p[0] & 0x0Fu;
    } else if (p[0] >= 0xF0 && p[0] <= 0xF4) {
        nLength = 4;
        nCodePoint = p[0] & 0x07u;
    } else {
        return 0;
    }
    if (nLength > nLeft) return 0;
    for (int i = 1; i < nLength; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        nCodePoint = (nCodePoint << 6) | (p[i] & 0x3Fu);
    }
    static const unsigned int SMALLEST[] = {0, 0, 0x80, 0x800, 0x10000};
    if (nCodePoint < SMALLEST[nLength] || nCodePoint > 0x10FFFF || (nCodePoint >= 0xD800 && nCodePoint <= 0xDFFF))
        return 0;
    return nLength;
}

// C1 controls, line separators and the marks that reorder text on screen.
bool steersTheTerminal(unsigned int nCodePoint) {
    return nCodePoint < 0xA0 || (nCodePoint >= 0x2028 && nCodePoint <= 0x202E) ||
           (nCodePoint >= 0x2066 && nCodePoint <= 0x2069);
}

// A name from an archive, safe to print: anything that could steer the
// terminal becomes \xNN per byte, a backslash "\\" (so the form stays
// unambiguous); printable ASCII and readable UTF-8 pass through.
std::string printableName(const Tsl::String& sName) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(sName.c_str());
    int nSize = sName.getLength();
    std::string sOut;
    for (int i = 0; i < nSize;) {
        if (p[i] == '\\') {
            sOut += "\\\\";
            ++i;
            continue;
        }
        if (p[i] >= 0x20 && p[i] < 0x7F) {
            sOut += static_cast<char>(p[i++]);
            continue;
        }
        unsigned int nCodePoint = 0;
        int nLength = decodeUtf8(p + i, nSize - i, nCodePoint);
        if (nLength > 0 && !steersTheTerminal(nCodePoint)) {
            sOut.append(reinterpret_cast<const char*>(p + i), static_cast<size_t>(nLength));
            i += nLength;
            continue;
        }
        for (int nEnd = i + (nLength > 0 ? nLength : 1); i < nEnd; ++i) {
            char aEscape[8];
            std::snprintf(aEscape, sizeof(aEscape), "\\x%02X", p[i]);
            sOut += aEscape;
        }
    }
    return sOut;
}

int list(const char* pszArchive) {
    TSL_TRACE();
    requireArchive(pszArchive);
    Tsl::ResourceFile archive(pszArchive);
    for (int i = 0; i < archive.getEntryCount(); ++i) {
        const Tsl::ResourceFileEntry& entry = archive.getEntry(i);
        std::printf("%10u %10u %-8s %s\n", entry.nSize, entry.nStoredSize,
                    entry.nFlags & Tsl::GRF_FLAG_DEFLATED ? "deflated" : "stored", printableName(entry.sName).c_str());
    }
    return 0;
}

int extract(const char* pszArchive, const char* pszEntry, const char* pszOut) {
    TSL_TRACE();
    requireArchive(pszArchive);
    Tsl::ResourceFile archive(pszArchive);
    Tsl::SmartPtr<Tsl::Resource> pResource = archive.getResource(pszEntry);
    if (!pResource) {
        std::fprintf(stderr, "grftool: no entry '%s' in %s\n", pszEntry, pszArchive);
        return 1;
    }
    ReplacingOutput output(pszOut);
    Tsl::File out(output.getWritePath(), Tsl::File::eWrite);
    if (out.write(pResource->getData(), pResource->getSize()) != pResource->getSize())
        TSL_THROW(FileAccessException, "Can't write %d bytes to '%s'", pResource->getSize(), pszOut);
    // The bytes may still sit in a buffer: only the close shows a full disk.
    out.close();
    output.commit();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    TSL_TRACE();
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) return help();
    std::string sProblem = problemWith(argc, argv);
    if (!sProblem.empty()) return usage(sProblem);
    const char* pszCommand = argv[1];
    try {
        if (std::strcmp(pszCommand, "pack") == 0) return pack(argv[2], argv[3]);
        if (std::strcmp(pszCommand, "list") == 0) return list(argv[2]);
        return extract(argv[2], argv[3], argv[4]);
    } catch (const Tsl::Exception& e) {
        // The message names the file and the reason; where in the engine it
        // was raised means nothing to the user.
        std::fprintf(stderr, "grftool: %s\n", e.getMessage());
        return 1;
    }
}
