// The ".anim" reader: commands, numbered forms, parameters, macros,
// includes, slices, and every message with its file and line.
#include "anim_fixture.h"

struct AnimationReaderTest : AnimFixture {
    void SetUp() override {
        AnimFixture::SetUp();
        addPicture("a", 1);
        addPicture("b", 2);
    }
};

TEST_F(AnimationReaderTest, EveryMessageNamesTheFileAndTheLine) {
    addText("inc", "load a\ninclude t.anim\n");
    addText("empty", "");
    struct Case {
        const char* pszText;
        const char* pszError;
    } cases[] = {
        {"load", "AnimationParserException: AnimationLoader : Command load in t.anim, line 1 : need 2 tokens"},
        {"# comment\n\n  # another\nclone x y  # trailing",
         "AnimationParserException: AnimationLoader : clone in t.anim, line 3 : image x not found (seq )"},
        {"seq s\n\ninspos 0 0 x", "AnimationParserException: AnimationLoader : inspos in t.anim, line 2 : image x not "
                                  "found (seq s)"},
        {"seq s fps", "AnimationParserException: AnimationLoader : Seq in t.anim, line 1 : error at token fps"},
        {"seq s fps 3 Loop", "AnimationParserException: AnimationLoader : Seq in t.anim, line 1 : error at token Loop"},
        {"load a\nadd a", "AnimationParserException: AnimationLoader : Add in t.anim, line 2 : no current sequence"},
        {"load a\nseq s\nadd a repeat",
         "AnimationParserException: AnimationLoader : Add in t.anim, line 3 : error at token repeat"},
        {"load a\nseq s\nadd a twice",
         "AnimationParserException: AnimationLoader : Add in t.anim, line 3 : error at token twice"},
        {"\n\nBogus x", "AnimationParserException: AnimationLoader : Unknown command 'bogus' in t.anim, line 1"},
        {"param x\nparams 2",
         "AnimationParserException: AnimationLoader : t.anim : expected at least 2 parameters, 1 found (line 2)"},
        {"mload a", "AnimationParserException: AnimationLoader : Command mload in t.anim, line 1 : need 4 tokens"},
        {"minspos 0 0 a 1 3",
         "AnimationParserException: AnimationLoader : inspos in t.anim, line 1 : image a1 not found (seq )"},
        {"mload a 1 20000",
         "AnimationParserException: AnimationLoader : mload in t.anim, line 1 : range 1 to 20000 out of bounds"},
        {"load a\ninspos 99999999999 0 a",
         "AnimationParserException: AnimationLoader : inspos in t.anim, line 2 : coordinate 99999999999 out of range"},
        {"include t.anim",
         "AnimationParserException: AnimationLoader : Include in t.anim, line 1 : t.anim is already being read"},
        {"include inc",
         "AnimationParserException: AnimationLoader : Include in t.anim, line 3 : t.anim is already being read"},
        {"if == a b\nload a\n# the end",
         "AnimationParserException: AnimationLoader : If in t.anim, line 3 : missing endif"},
        {"frameprop 0 k v", "FatalErrorException: FramProp must be used inside sequence. (t.anim, line 1)"},
        {"seq s\nframeprop 0 k v", "FatalErrorException: List index out of range : 0 (have 0) (t.anim, line 2)"},
        {"load a\nrepeat 3", "FatalErrorException: List index out of range : 0 (have 0) (t.anim, line 2)"},
        {"repeat", "FatalErrorException: List index out of range : 1 (have 1) (t.anim, line 1)"},
        {"seq s\ncopyseq walk", "FatalErrorException: Hash key not found : walk (t.anim, line 2)"},
        {"alias walk", "FatalErrorException: Hash key not found :  (t.anim, line 1)"},
        {"seq s\nseq t\nalias u s", "FatalErrorException: t.anim already has seq s (t.anim, line 3)"},
        {"load a\nseq s\nadd a\nrepeat 40 copyseq s",
         "AnimationParserException: AnimationLoader : copyseq in t.anim, line 4 : more than 50000 frames"},
        {"load a\nrepeat 600000 remove a",
         "AnimationParserException: AnimationLoader : remove in t.anim, line 2 : more than 500000 commands, frames and "
         "image operations"},
        {"load nothing", "BadParmException: Surface::loadFromFiles : resource nothing not found (t.anim, line 1)"},
        {"include nothing",
         "ResourceException: GameApp::getResource() : Resource 'nothing' not found (t.anim, line 1)"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.pszError, errorOf(c.pszText)) << c.pszText;
}

TEST_F(AnimationReaderTest, SequencesFramesAndWherePropertiesGo) {
    Tsl::SmartPtr<Animation> p = loadText(
        "fps 10\nprop owner anim\nload a\nload b\n"
        "seq s fps 12 loop\nprop kind seq\nadd a\nprop first yes\nadd b repeat 3 # slow\nprop second yes\n"
        "seq s fps 5\nADD a\n"
        "seq t\nfps 4\nadd a\nadd b reverse\nframeprop 0 k v\nframeprop -1 k seqv\n"
        "alias u v\ndefault t\n");
    EXPECT_EQ(10.0f, p->getFps());
    EXPECT_EQ(Tsl::String("anim"), p->getProp("owner"));
    EXPECT_EQ(12.0f, p->getSequenceFps("s"));
    EXPECT_TRUE(p->isSequenceLooped("s"));
    EXPECT_EQ("1 2 1", widthsOf(p, "s"));
    EXPECT_EQ(3, p->getFrameRepeat("s", 1));
    EXPECT_TRUE(p->getSequence("s")->hasProp("kind", false));
    EXPECT_TRUE(p->getFrameData("s", 0)->hasProp("first", false));
    EXPECT_TRUE(p->getFrameData("s", 1)->hasProp("second", false));
    EXPECT_EQ(Tsl::String("anim"), p->getFrameProp("s", 2, "owner"));
    EXPECT_EQ(4.0f, p->getSequenceFps("t"));
    EXPECT_FALSE(p->isSequenceLooped("t"));
    EXPECT_EQ(Tsl::String("v"), p->getFrameProp("t", 0, "k"));
    EXPECT_EQ(Tsl::String("seqv"), p->getFrameProp("t", 1, "k"));
    EXPECT_EQ(p->getSequence("t").get(), p->getSequence("v").get());
    EXPECT_EQ(Tsl::String("t"), p->getDefaultSequence());
}

TEST_F(AnimationReaderTest, RepeatPrefixAndCopiedSequences) {
    Tsl::SmartPtr<Animation> p = loadText(
        "load a\nload b\nseq s\nrepeat 3 add a\nrepeat 0 add b\nrepeat -2 add b\n"
        "seq c\nadd a\nadd b repeat 2\nprop tag x\ncopyseq c\ncopyseq c REVERSE\n");
    EXPECT_EQ("1 1 1", widthsOf(p, "s"));
    EXPECT_EQ("1 2 1 2 2 1 2 1", widthsOf(p, "c"));  // doubled once, then the four reversed
    EXPECT_EQ(2, p->getFrameRepeat("c", 3));
    EXPECT_TRUE(p->getFrameData("c", 3)->hasProp("tag", false));
    EXPECT_TRUE(p->getFrameData("c", 4)->hasProp("tag", false));
}

TEST_F(AnimationReaderTest, NumberedFormsCountUpDownAndPadded) {
    for (int i : {1, 2, 3, 8, 9, 10}) addPicture(("f" + std::to_string(i)).c_str(), i);
    for (int i : {8, 9}) addPicture(("f0" + std::to_string(i)).c_str(), 20 + i);
    Tsl::SmartPtr<Animation> p = loadText(
        "mload f$ 8 10\nmload f 08 10\nmload f 1 3\nseq up\nmadd f$ 8 10\nseq padded\nmadd f 08 10\n"
        "seq down\nmadd f$ 3 1\nseq one\nmadd f 2 2\nminspos center bottom f 1 3\n");
    EXPECT_EQ("8 9 10", widthsOf(p, "up"));
    EXPECT_EQ("28 29 10", widthsOf(p, "padded"));
    EXPECT_EQ("3 2 1", widthsOf(p, "down"));
    EXPECT_EQ("2", widthsOf(p, "one"));
    EXPECT_EQ(Point(1, 4), p->getFrameImage("down", 0)->getInsPoint());  // f3: 3 wide, 4 high
}

TEST_F(AnimationReaderTest, ImageWorkshopClonesSoEarlierFramesKeepTheirPictures) {
    Tsl::SmartPtr<Image> pCachedA = app.getImage("a");
    addPicture("c", 4, Color(10, 20, 30, 255));
    Tsl::SmartPtr<Animation> p = loadText(
        "load a\nseq s\nadd a\nhflip a\nadd a\ninspos 1 2 a\n"
        "load c\nadd c\nremap bgr c\nadd c\nmultiplyalpha 0.5 c\nadd c\nvflip all\nadd c\n"
        "load b\nclone c d\nblit d b 3\nadd d\nrblit b c 2 1\nadd b\nremove c\nREMOVE ALL\n");
    EXPECT_FALSE(p->getFrameImage("s", 0)->isFlippedHorizontally());
    EXPECT_TRUE(p->getFrameImage("s", 1)->isFlippedHorizontally());
    EXPECT_EQ(Point(1, 2), p->getFrameImage("s", 1)->getInsPoint());  // inspos in place
    EXPECT_EQ(Point(0, 0), p->getFrameImage("s", 0)->getInsPoint());
    EXPECT_EQ(Point(0, 0), pCachedA->getInsPoint());  // the cache's picture is never moved
    EXPECT_EQ(Color(10, 20, 30, 255), p->getFrameImage("s", 2)->getColorAt(0, 0));
    EXPECT_EQ(Color(30, 20, 10, 255), p->getFrameImage("s", 3)->getColorAt(0, 0));
    EXPECT_NEAR(127, p->getFrameImage("s", 4)->getColorAt(0, 0).a, 1);
    EXPECT_TRUE(p->getFrameImage("s", 5)->isFlippedVertically());
    EXPECT_EQ(Color(10, 20, 30, 200), p->getFrameImage("s", 6)->getColorAt(3, 0));  // b copied onto d at x 3
    EXPECT_EQ(4, p->getFrameImage("s", 7)->getWidth());  // b drawn over a copy of c replaces b
    EXPECT_EQ(Color(10, 20, 30, 200), p->getFrameImage("s", 7)->getColorAt(2, 1));
}

TEST_F(AnimationReaderTest, ParametersMacrosAndIncludes) {
    addText("part", "prop from_part (0)\nprop kind (shade)\n");
    Tsl::SmartPtr<Animation> p = loadText(
        "prop first (0)\ndefine shade dark\ninclude part\nparam two words\nprop second (1)\n"
        "define tone (shade)er\nprop toned (tone)\nclearparams\nprop cleared (0)\nparams 0\n",
        params({"red"}));
    EXPECT_EQ(Tsl::String("red"), p->getProp("first"));
    EXPECT_EQ(Tsl::String("red"), p->getProp("from_part"));
    EXPECT_EQ(Tsl::String("dark"), p->getProp("kind"));
    EXPECT_EQ(Tsl::String("two"), p->getProp("second"));  // a parameter with blanks gives words
    EXPECT_EQ(Tsl::String("darker"), p->getProp("toned"));
    EXPECT_EQ(Tsl::String("(0)"), p->getProp("cleared"));
    // Included lines count on in the including file's numbering.
    EXPECT_EQ("AnimationParserException: AnimationLoader : Unknown command 'oops' in t.anim, line 5",
              errorOf("# one\ninclude part\noops"));
}

TEST_F(AnimationReaderTest, SlicesEndAfterAHeavyCommandOrMoreThanAHundredLightOnes) {
    std::string sProps = "# header\n";
    for (int i = 0; i < 250; ++i) sProps += "prop p" + std::to_string(i) + " v\n";
    addText("props", sProps);
    AnimationLoader props;
    props.begin("props");
    EXPECT_EQ(251, props.getLineCount());
    EXPECT_EQ(102, props.parseNextLine());  // the comment and 101 commands
    EXPECT_EQ(101, props.parseNextLine());
    EXPECT_EQ(48, props.parseNextLine());
    EXPECT_TRUE(props.isDone());

    addText("loads", "load a\nload b\nload a\nif == 1 2\nskipped\nendif\nrepeat 2 load a\nmload a 1 1\n");
    addPicture("a1", 3);
    AnimationLoader loads;
    loads.begin("loads");
    std::vector<int> aLines;
    while (!loads.isDone()) aLines.push_back(loads.parseNextLine());
    // The if and its skipped lines run with the repeated load, whose two runs share a slice;
    // a numbered form's set-up shares one with its first number.
    EXPECT_EQ((std::vector<int>{1, 1, 1, 4, 1}), aLines);
    EXPECT_EQ(0, loads.getLinesLeft());
}
