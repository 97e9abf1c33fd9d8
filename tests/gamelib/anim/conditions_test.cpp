// Conditional blocks of the ".anim" reader and the prefix condition language.
#include "anim_fixture.h"

typedef AnimFixture AnimationConditionTest;

// What "if <condition>" decides: "yes", "no", or the error it raises.
TEST_F(AnimationConditionTest, ConditionsEvaluateInPrefixNotation) {
    struct Case {
        const char* pszCondition;
        const char* pszResult;
    } cases[] = {
        {"== a a", "yes"},
        {"== a b", "no"},
        {"!= a b", "yes"},
        {"not == 1 2", "yes"},
        {"< 9 10", "yes"},  // numbers, not texts
        {"== 07 7", "no"},  // texts, not numbers
        {"<= 3 3", "yes"},
        {">= 2 3", "no"},
        {"> 3 -2", "yes"},
        {"and true false", "no"},
        {"and == x x != x y", "yes"},
        {"( or false true )", "yes"},
        {"or false false trailing words", "no"},
        {"== (0) left", "yes"},
        {"and != (1) 0 > (2) 3", "yes"},
        {"TRUE", "FatalErrorException: Condition doesn't evaluate to bool (t.anim, line 1)"},
        {"a", "FatalErrorException: Condition doesn't evaluate to bool (t.anim, line 1)"},
        {"not 1", "FatalErrorException: Condition doesn't evaluate to bool (t.anim, line 1)"},
        {"", "AssertFailException: Assertion failed : lToks.getLength() >= (1) (t.anim, line 1)"},
        {"and true", "AssertFailException: Assertion failed : lToks.getLength() >= (1) (t.anim, line 1)"},
        {"( )", "AssertFailException: Assertion failed : lToks.getLength() >= (1) (t.anim, line 1)"},
    };
    for (const Case& c : cases) {
        std::string sText = std::string("if ") + c.pszCondition + "\nprop r yes\nelse\nprop r no\nendif\n";
        std::string sError = errorOf(sText, params({"left", "5", "9"}));
        std::string sResult = sError.empty() ? std::string(loadText(sText, params({"left", "5", "9"}))->getProp("r"))
                                             : sError;
        EXPECT_EQ(c.pszResult, sResult) << c.pszCondition;
    }
}

// Every comparison where its two operands meet: the order operators compare
// the numbers the texts read as, == and != the texts themselves.
TEST_F(AnimationConditionTest, ComparisonsAtEquality) {
    struct Case {
        const char* pszOperator;
        bool bSameText, bSameNumber;  // "3 3", "07 7"
    } cases[] = {
        {"==", true, false}, {"!=", false, true}, {"<", false, false},
        {"<=", true, true},  {">", false, false}, {">=", true, true},
    };
    for (const Case& c : cases) {
        for (const char* pszOperands : {"3 3", "07 7", "-0 0"}) {
            bool bExpected = std::string(pszOperands) == "3 3" ? c.bSameText : c.bSameNumber;
            std::string sText = std::string("if ") + c.pszOperator + " " + pszOperands + "\nprop r yes\nendif\n";
            EXPECT_EQ(bExpected, loadText(sText)->hasProp("r")) << c.pszOperator << " " << pszOperands;
        }
    }
}

TEST_F(AnimationConditionTest, DeeplyNestedConditionsAreRefused) {
    std::string sText = "if";
    for (int i = 0; i < 1000; ++i) sText += " not";
    sText += " true\nendif\n";
    EXPECT_EQ("AnimationParserException: AnimationLoader : If in t.anim, line 1 : condition nested deeper than 256",
              errorOf(sText));
}

// Which branches of a block run: the props set tell.
TEST_F(AnimationConditionTest, BlocksSkipNestedBlocksAndBranchesAfterATakenOne) {
    struct Case {
        const char* pszText;
        const char* pszRan;
    } cases[] = {
        {"if == 1 2\n if == 1 1\n  prop x 1\n else\n  prop x 2\n endif\n prop x 3\nelse\n prop x 4\nendif\nprop z 9",
         "4 9"},
        {"if == 1 2\n if == 1 1\n endif\nelif == 1 1\n prop x 5\nelse\n prop x 6\nendif", "5"},
        {"if == 1 2\nelif == 1 3\n prop x 7\nelif == 1 1\n prop x 8\nendif", "8"},
        {"if == 1 1\n prop x 1\nelif == 1 1\n prop x 2\nelse\n prop x 3\nendif\nprop z 4", "1 4"},
        {"IF == 1 2\n prop x 1\n If == 1 1\n ENDIF\nElse\n prop x 2\nEndIf", "2"},
        {"if == 1 2\n bogus command\n load missing\nendif\nprop z 3", "3"},
        {"if == 1 1\n if == 2 2\n  prop x 1\n endif\n prop y 2\nendif", "1 2"},
        // A file may end inside a branch that runs.
        {"if == 1 1\n prop x 1\nelse\n prop y 2\nendif\nif == 1 1\n prop z 3", "1 3"},
        {"if == 1 2\nelif == 1 1\n prop x 1\n if == 2 2\n  prop y 2", "1 2"},
    };
    for (const Case& c : cases) {
        Tsl::SmartPtr<Animation> p = loadText(c.pszText);
        std::string sRan;
        for (const char* pszKey : {"x", "y", "z"})
            if (p->hasProp(pszKey)) sRan += (sRan.empty() ? "" : " ") + std::string(p->getProp(pszKey));
        EXPECT_EQ(c.pszRan, sRan) << c.pszText;
    }
}

TEST_F(AnimationConditionTest, BranchWordsWithoutAnOpenBlockAreRefused) {
    for (const char* pszText : {"else", "endif", "elif == 1 1", "if == 1 1\nendif\nendif"}) {
        std::string sError = errorOf(pszText);
        EXPECT_EQ(0u, sError.find("AssertFailException: Assertion failed : m_nIfBlockNesting > 0 (t.anim, line "))
            << pszText << " gave " << sError;
    }
}
