// Writes an animation back out as ".anim" text into a resource archive being
// built, step by step like the reader: one step writes the next frame with
// its property lines (after its sequence's header when it is the first), or
// finishes a sequence. Each frame picture gets one file name, made from the
// text's resource name, and is stored in the archive beside the text on its
// first use, so the reader finds everything the text names.
#pragma once

#include "anim/animation.h"
#include "image/image.h"

#include "tsl2/hash.h"
#include "tsl2/list.h"
#include "tsl2/memstream.h"
#include "tsl2/refcount.h"
#include "tsl2/resourcefile.h"
#include "tsl2/str.h"

class AnimationSaver : public Tsl::RefCountedObject {
public:
    AnimationSaver();
    ~AnimationSaver() override;

    // The archive is not owned; it must outlive the saving.
    void save(Tsl::SmartPtr<Animation> pAnimation, Tsl::ResourceFileCompiler* pArchive, const char* pszName);
    void begin(Tsl::SmartPtr<Animation> pAnimation, Tsl::ResourceFileCompiler* pArchive, const char* pszName);
    // Writes one unit; returns the number of lines written.
    int step();
    bool isDone() const { return m_lSequences.isEmpty(); }
    // One "prop" line per own property of the holder. A key or value that
    // would not read back as one word (blanks, "#", empty key) is refused.
    int writeProps(Tsl::SmartPtr<PropHolder> pHolder, Tsl::SmartPtr<Tsl::Stream> pStream);

    // The archive entry that holds a frame picture written under a file name:
    // image names are looked up in lower case, and the suffix tells the format.
    static Tsl::String getPictureEntryName(const Tsl::String& sFileName);

private:
    AnimationSaver(const AnimationSaver&) = delete;
    AnimationSaver& operator=(const AnimationSaver&) = delete;

    int writeHeader(const Tsl::String& sSequence);
    int writeFrame(const Tsl::String& sSequence);
    void finishSequence();
    void writeLine(const Tsl::String& sLine);
    // A name or value the reader would split or cut is refused.
    void checkWord(const Tsl::String& sWord, const char* pszWhat, bool bMayBeEmpty) const;
    void checkProps(const PropHolder& holder) const;
    // Everything is checked before anything is written, so a refused
    // animation leaves nothing behind in the archive.
    void checkAnimation() const;
    void exportPicture(Image* pImage, const Tsl::String& sFileName);

    Tsl::SmartPtr<Animation> m_pAnimation;
    Tsl::ResourceFileCompiler* m_pArchive;
    Tsl::SmartPtr<Tsl::MemStream> m_pStream;
    Tsl::String m_sName;
    Tsl::Hash<Image*, Tsl::String> m_hImageNames;
    Tsl::List<Tsl::String> m_lSequences;
    int m_nSequence;
    int m_nFrame;
};
