// Conditional blocks of the ".anim" reader and their prefix-notation conditions.
#include "anim/animationloader.h"

#include <cstdlib>

namespace {

Tsl::List<Tsl::String> operandsOf(const Tsl::List<Tsl::String>& lTokens) {
    Tsl::List<Tsl::String> lOperands(lTokens);
    lOperands.removeFirst();
    return lOperands;
}

const char* boolText(bool b) { return b ? "true" : "false"; }

} // namespace

void AnimationLoader::cmdIf() {
    ++m_nIfBlockNesting;
    Tsl::List<Tsl::String> lCondition = operandsOf(m_lTokens);
    if (!evalCondition(lCondition) && skipBlock(true)) --m_nIfBlockNesting;
}

void AnimationLoader::cmdElse() {
    // The branch before this one ran: the rest of the block is skipped.
    TSL_ASSERT(m_nIfBlockNesting > 0);
    --m_nIfBlockNesting;
    skipBlock(false);
}

void AnimationLoader::cmdElif() { cmdElse(); }

void AnimationLoader::cmdEndIf() {
    TSL_ASSERT(m_nIfBlockNesting > 0);
    --m_nIfBlockNesting;
}

bool AnimationLoader::skipBlock(bool bStopAtBranch) {
    int nDepth = 1;
    for (;;) {
        readNextLine();
        if (m_lTokens.isEmpty())
            fail("AnimationLoader : If in %s, line %d : missing endif", animationName(), m_nLine);
        Tsl::String sWord = token(0).toLower();
        if (sWord == "if") {
            ++nDepth;
        } else if (sWord == "endif") {
            if (--nDepth == 0) return true;
        } else if (bStopAtBranch && nDepth == 1) {
            if (sWord == "else") return false;
            if (sWord == "elif") {
                Tsl::List<Tsl::String> lCondition = operandsOf(m_lTokens);
                if (evalCondition(lCondition)) return false;
            }
        }
    }
}

bool AnimationLoader::evalCondition(Tsl::List<Tsl::String>& lToks) { return evalConditionAt(lToks, 0); }

Tsl::String AnimationLoader::evalExpression(Tsl::List<Tsl::String>& lToks) { return evalExpressionAt(lToks, 0); }

bool AnimationLoader::evalConditionAt(Tsl::List<Tsl::String>& lToks, int nDepth) {
    // Parentheses only decorate: the notation is prefix.
    Tsl::List<Tsl::String> lBare;
    for (const Tsl::String& sToken : lToks)
        if (sToken != "(" && sToken != ")") lBare.append(sToken);
    lToks = lBare;
    Tsl::String sValue = evalExpressionAt(lToks, nDepth);
    if (sValue == "true") return true;
    if (sValue == "false") return false;
    TSL_THROW(FatalErrorException, "Condition doesn't evaluate to bool");
}

Tsl::String AnimationLoader::evalExpressionAt(Tsl::List<Tsl::String>& lToks, int nDepth) {
    if (lToks.getCount() < 1)
        throw Tsl::AssertFailException(__FILE__, __LINE__, "Assertion failed : lToks.getLength() >= (1)");
    if (nDepth > MAX_CONDITION_DEPTH)
        fail("AnimationLoader : If in %s, line %d : condition nested deeper than %d", animationName(), m_nLine,
             MAX_CONDITION_DEPTH);
    Tsl::String sOperator = lToks.removeFirst();
    if (sOperator == "not") return boolText(!evalConditionAt(lToks, nDepth + 1));
    bool bBinary = sOperator == "==" || sOperator == "!=" || sOperator == "and" || sOperator == "or" ||
                   sOperator == "<=" || sOperator == "<" || sOperator == ">=" || sOperator == ">";
    if (!bBinary) return sOperator;
    // Both operands always, the first first: no short cut for and / or.
    Tsl::String sA = evalExpressionAt(lToks, nDepth + 1);
    Tsl::String sB = evalExpressionAt(lToks, nDepth + 1);
    int nA = std::atoi(sA), nB = std::atoi(sB);
    if (sOperator == "==") return boolText(sA == sB);
    if (sOperator == "!=") return boolText(sA != sB);
    if (sOperator == "and") return boolText(sA == "true" && sB == "true");
    if (sOperator == "or") return boolText(sA == "true" || sB == "true");
    if (sOperator == "<=") return boolText(nA <= nB);
    if (sOperator == "<") return boolText(nA < nB);
    if (sOperator == ">=") return boolText(nA >= nB);
    return boolText(nA > nB);
}
