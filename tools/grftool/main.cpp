// grftool: packs a folder into a "GRF" archive, lists one, extracts an entry.
//
//   grftool pack <folder> <archive>
//   grftool list <archive>
//   grftool extract <archive> <entry> <out-file>
//
// Exit codes: 0 done, 1 failed (the reason on stderr), 2 bad usage.
#include "tsl2/file.h"
#include "tsl2/memstream.h"
#include "tsl2/resource.h"
#include "tsl2/resourcefile.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: grftool pack <folder> <archive>\n"
                 "       grftool list <archive>\n"
                 "       grftool extract <archive> <entry> <out-file>\n");
    return 2;
}

int pack(const char* pszFolder, const char* pszArchive) {
    TSL_TRACE();
    struct stat info;
    if (stat(pszFolder, &info) != 0 || !S_ISDIR(info.st_mode)) {
        std::fprintf(stderr, "grftool: '%s' is not a folder\n", pszFolder);
        return 1;
    }
    Tsl::FolderResourceProvider folder(pszFolder);
    Tsl::List<Tsl::String> lNames = folder.getResourceNames();
    try {
        Tsl::ResourceFileCompiler compiler(pszArchive);
        for (const Tsl::String& sName : lNames) {
            Tsl::SmartPtr<Tsl::Resource> pResource = folder.getResource(sName);
            if (!pResource) TSL_THROW(ResourceException, "'%s' vanished from '%s' while packing", sName.c_str(), pszFolder);
            Tsl::MemStream source(pResource->getData(), pResource->getSize());
            compiler.addResource(&source, sName);
        }
        compiler.finish();
    } catch (...) {
        // Leave no half-written archive that a later step could pick up, but
        // never remove what is not a plain file (a folder, a device).
        struct stat archiveInfo;
        if (stat(pszArchive, &archiveInfo) == 0 && S_ISREG(archiveInfo.st_mode)) std::remove(pszArchive);
        throw;
    }
    std::printf("packed %d entries from %s into %s\n", lNames.getCount(), pszFolder, pszArchive);
    return 0;
}

int list(const char* pszArchive) {
    TSL_TRACE();
    Tsl::ResourceFile archive(pszArchive);
    for (int i = 0; i < archive.getEntryCount(); ++i) {
        const Tsl::ResourceFileEntry& entry = archive.getEntry(i);
        std::printf("%10u %10u %-8s %s\n", entry.nSize, entry.nStoredSize,
                    entry.nFlags & Tsl::GRF_FLAG_DEFLATED ? "deflated" : "stored", entry.sName.c_str());
    }
    return 0;
}

int extract(const char* pszArchive, const char* pszEntry, const char* pszOut) {
    TSL_TRACE();
    Tsl::ResourceFile archive(pszArchive);
    Tsl::SmartPtr<Tsl::Resource> pResource = archive.getResource(pszEntry);
    if (!pResource) {
        std::fprintf(stderr, "grftool: no entry '%s' in %s\n", pszEntry, pszArchive);
        return 1;
    }
    Tsl::File out(pszOut, Tsl::File::eWrite);
    if (out.write(pResource->getData(), pResource->getSize()) != pResource->getSize())
        TSL_THROW(FileAccessException, "Can't write %d bytes to '%s'", pResource->getSize(), pszOut);
    // The bytes may still sit in a buffer: only the close shows a full disk.
    out.close();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    TSL_TRACE();
    if (argc < 2) return usage();
    const char* pszCommand = argv[1];
    try {
        if (std::strcmp(pszCommand, "pack") == 0 && argc == 4) return pack(argv[2], argv[3]);
        if (std::strcmp(pszCommand, "list") == 0 && argc == 3) return list(argv[2]);
        if (std::strcmp(pszCommand, "extract") == 0 && argc == 5) return extract(argv[2], argv[3], argv[4]);
    } catch (const Tsl::Exception& e) {
        std::fprintf(stderr, "grftool: %s\n", e.getText().c_str());
        return 1;
    }
    return usage();
}
