// The rules content must keep beyond being readable: what the game's code
// takes for granted and would crash, hang or misbehave on (an arm frame
// without a hand place, a looping action, a definition without a weight, a
// printf text with the wrong conversions...). The content check applies
// them to a set of archives; the generator's tests use them too.
#pragma once

#include "anim/animation.h"

#include "tsl2/refcount.h"

#include <string>
#include <vector>

class RuleReporter {
public:
    virtual ~RuleReporter() {}
    virtual void fault(const std::string& sFile, const std::string& sMessage) = 0;
    // What the game reads and plays, but hardly as its author meant.
    virtual void warn(const std::string& sFile, const std::string& sMessage) = 0;
};

// "a_{x,y}_{1..3}" to every combination, left to right; "{a..e}" runs
// over letters. Braces do not nest.
std::vector<std::string> expandBraces(const std::string& sPattern);

// The printf conversions of a text ("d" per %d, "%%" is none); throws on a
// conversion the game never passes arguments for.
std::string formatConversions(const std::string& sText);
// Texts used as printf formats must hold exactly the conversions the game
// passes; others are shown as written.
void checkStringFormat(RuleReporter& r, const std::string& sFile, const std::string& sKey, const std::string& sText);

// The entries of a preload list; faults for what the game would read as a
// different name (CR line ends, blanks around an entry, empty lines).
std::vector<std::string> checkPreloadList(RuleReporter& r, const std::string& sFile, const std::string& sText);

// Every sequence has frames; the store's parrot switches between "normal"
// and "highlight" at the same frame.
void checkAnimation(RuleReporter& r, const std::string& sFile, Tsl::SmartPtr<Animation> pAnimation);
// A template through each of its known parameter lists.
void checkTemplate(RuleReporter& r, const std::string& sFile);
// The waitress's 137 sequences, their hand places, actions and loops.
void checkWaitress(RuleReporter& r, const std::string& sFile, Tsl::SmartPtr<Animation> pAnimation);
std::vector<std::string> waitressSequenceNames();

// The lines both scene readers share: token counts, numbers, slots, names
// defined before use, and a floor whose bottom lies below its top.
void checkScene(RuleReporter& r, const std::string& sFile, const std::string& sText);
// A definition file: a name and a positive weight per line, names that the
// spawn manager tells apart, files numbered 0 to 19. A tag on a generated
// kind is warned of: it stays taken for the level once one such guest came.
void checkDefinitions(RuleReporter& r, const std::string& sFile, const std::string& sText);
// Each scene has definitions and one without tags, so a customer can come.
void checkSceneDefinitions(RuleReporter& r, int nScene);

// The name list of content/: "<kind> <name pattern>" per line, every name
// resolving through the application (images, resources, samples, tunes,
// string keys, theme fonts and styles, sequences of an animation).
void checkNameList(RuleReporter& r, const std::string& sPath);
// The names headers of the game (constexpr const char* NAME = "value";):
// every picture (IMG_), string key (STR_), sound (SND_, SFX_), tune (..MUSIC..),
// font (FONT_), style (STYLE_, FRAME_) and file (ANIM_, EMITTER_, .._ANIM,
// .._TEMPLATE) resolves; formats ("%"), suffixes ("_...") and the optional
// "3rdparty" pictures ("3p_...") are skipped,
// and so is every other constant (sequences, properties, settings).
void checkHeaderNames(RuleReporter& r, const std::string& sPath);
