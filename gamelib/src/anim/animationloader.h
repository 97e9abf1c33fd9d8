// The ".anim" reader: a line-oriented command language with an image
// workshop (load, clone, flip, fade, recolour, combine, insertion points),
// caller parameters, text macros, includes, conditional blocks, a repeat
// prefix and numbered forms that expand one line into a run of images.
//
// It reads in slices so the application can preload behind a loading
// screen: one parseNextLine runs lines until one image-producing command
// has run, more than 100 cheap commands have run, or the input is used up.
#pragma once

#include "anim/animation.h"
#include "image/image.h"

#include "tsl2/error.h"
#include "tsl2/hash.h"
#include "tsl2/list.h"
#include "tsl2/refcount.h"
#include "tsl2/str.h"

#include <vector>

// A fault in a file's commands; the message names the file and the line.
class AnimationParserException : public Tsl::Exception {
public:
    AnimationParserException(const char* pszFile, int nLine, const char* pszMessage)
        : Tsl::Exception(pszFile, nLine, pszMessage) {}
    const char* getTypeName() const override { return "AnimationParserException"; }
};

class AnimationLoader : public Tsl::RefCountedObject {
public:
    // More cheap commands than this end a slice.
    enum { LIGHT_COMMANDS_PER_SLICE = 100 };
    // Bounds that keep a broken or hostile file from running for ever.
    enum {
        MAX_NUMBERED_RUN = 10000,
        MAX_LINE_LENGTH = 65536,
        MAX_CONDITION_DEPTH = 256,
        MAX_FRAMES = 50000,
        // Commands run, frames added and images touched.
        MAX_WORK = 500000
    };

    AnimationLoader();
    ~AnimationLoader() override;

    // Before begin: the values that "(0)", "(1)", ... stand for.
    void setParams(const Tsl::List<Tsl::String>& lParams);
    // Reads the resource and starts a new animation named after it.
    void begin(const char* pszName);
    // One slice; returns the number of lines read during it.
    int parseNextLine();
    bool isDone() const;
    Tsl::SmartPtr<Animation> getAnimation() const { return m_pAnimation; }
    // begin, then slices until done.
    Tsl::SmartPtr<Animation> load(const char* pszName);
    // Loading progress: pending lines right after the last file was read in, and now.
    int getLineCount() const { return m_nLineCount; }
    int getLinesLeft() const { return m_lLines.getCount(); }

    // The condition language: prefix notation over tokens, consumed from the front.
    bool evalCondition(Tsl::List<Tsl::String>& lToks);
    Tsl::String evalExpression(Tsl::List<Tsl::String>& lToks);

private:
    // One file whose lines are still pending, for telling includes that loop.
    struct PendingFile {
        Tsl::String sName;
        int nLinesLeft;
    };
    typedef void (AnimationLoader::*Handler)();
    struct Command {
        const char* pszWord;
        int nLeastTokens;
        bool bLight;
        Handler pfnRun;
    };

    AnimationLoader(const AnimationLoader&) = delete;
    AnimationLoader& operator=(const AnimationLoader&) = delete;

    static const Command* findCommand(const Tsl::String& sWord);
    void insertFile(const char* pszName);
    int readNextLine();
    void substitute();
    void replaceInLine(const Tsl::String& sWhat, const Tsl::String& sWith);
    void runSlice();
    // Runs m_sCommand once; true for a light command.
    bool runCommand();
    void countWork(int nAmount);
    const char* animationName() const;
    void checkTokenCount(int nLeast);
    void checkImage(const Tsl::String& sName);
    Tsl::SmartPtr<Image> image(const Tsl::String& sName);
    Tsl::String token(int nIndex) const { return m_lTokens.getAt(nIndex); }
    void selectImages(int nTokenIndex);
    // The names a command works on: one (which must exist) or "all".
    Tsl::List<Tsl::String> namesFrom(int nTokenIndex);
    // Replaces each image the token names by a copy and applies the change to it.
    template <class Change>
    void changeCopies(int nTokenIndex, Change change);
    // An alignment word of a token against an image.
    int coordinate(int nTokenIndex, const Tsl::SmartPtr<Image>& pImage, bool bHorizontal);
    int addFrame(Tsl::SmartPtr<Image> pImage, int nRepeat);
    [[noreturn]] void fail(const char* pszFormat, ...) const
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    // Numbered forms.
    void setUpNumberedForm();
    void nextNumber();

    // Conditional blocks.
    // Skips lines to the block's else, a true elif (when bStopAtBranch) or its
    // endif; true when it stopped at the endif.
    bool skipBlock(bool bStopAtBranch);
    Tsl::String evalExpressionAt(Tsl::List<Tsl::String>& lToks, int nDepth);
    bool evalConditionAt(Tsl::List<Tsl::String>& lToks, int nDepth);

    // The commands.
    void cmdLoad();
    void cmdClone();
    void cmdRemove();
    void cmdHFlip();
    void cmdVFlip();
    void cmdMultiplyAlpha();
    void cmdRemap();
    void cmdInsPos();
    void cmdBlit();
    void cmdRBlit();
    void cmdSeq();
    void cmdDefault();
    void cmdFps();
    void cmdAdd();
    void cmdCopySeq();
    void cmdAlias();
    void cmdProp();
    void cmdFrameProp();
    void cmdDefine();
    void cmdParam();
    void cmdParams();
    void cmdClearParams();
    void cmdInclude();
    void cmdIf();
    void cmdElse();
    void cmdElif();
    void cmdEndIf();

    static const Command s_aCommands[];

    Tsl::Hash<Tsl::String, Tsl::SmartPtr<Image>> m_hImages;
    Tsl::List<Tsl::String> m_lLines;
    Tsl::List<Tsl::String> m_lTokens;
    Tsl::List<Tsl::SmartPtr<Image>> m_lSelection;
    Tsl::String m_sLine;
    Tsl::List<Tsl::String> m_lParams;
    Tsl::Hash<Tsl::String, Tsl::String> m_hDefines;
    int m_nLastFrame;
    Tsl::String m_sSequence;
    int m_nLine;
    int m_nLineCount;
    Tsl::SmartPtr<Animation> m_pAnimation;
    Tsl::String m_sCommand;
    int m_nMultiCur;
    int m_nMultiEnd;
    int m_nMultiWidth;
    Tsl::List<int> m_lMultiPositions;
    Tsl::List<Tsl::String> m_lMultiTokens;
    bool m_bMultiActive;
    int m_nIfBlockNesting;

    // Files with pending lines, the innermost include last.
    std::vector<PendingFile> m_aFiles;
    // How many of those the current line's include chain spans.
    int m_nLineFileDepth;
    // Lines read during the running slice (skipped blocks included).
    int m_nSliceLines;
    // Commands run, frames added and images touched since the loader was made.
    // A bound on work against files that would run (almost) for ever.
    int m_nWork;
    // Frames added to the animation being built.
    int m_nFrames;
};
