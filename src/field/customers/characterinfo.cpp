#include "field/customers/characterinfo.h"

#include "app/gameapp.h"

#include <cstdlib>

void readCharacterDefinitions(const char* pszFile, const Tsl::String& sText,
                              Tsl::List<Tsl::SmartPtr<CharacterInfo>>& lDefinitions) {
    TSL_TRACE();
    int nLine = 0;
    int nStart = 0;
    int nLength = sText.getLength();
    while (nStart <= nLength) {
        int nEnd = sText.find('\n', nStart);
        if (nEnd < 0) nEnd = nLength;
        ++nLine;
        Tsl::String sLine(sText.c_str() + nStart, nEnd - nStart);
        nStart = nEnd + 1;
        int nComment = sLine.find('#');
        if (nComment >= 0) sLine = sLine.left(nComment);
        sLine = sLine.trim();
        if (sLine.isEmpty()) continue;
        Tsl::List<Tsl::String> lTokens;
        for (const Tsl::String& sToken : sLine.split(" \t\r"))
            if (!sToken.isEmpty()) lTokens.append(sToken);
        if (lTokens.getCount() < 2) {
            GameApp::log("%s, line %d: definition %s has no weight; skipped\n", pszFile, nLine,
                         lTokens.getFirst().c_str());
            continue;
        }
        Tsl::SmartPtr<CharacterInfo> pInfo = new CharacterInfo();
        pInfo->m_sName = lTokens.removeFirst();
        pInfo->m_fWeight = static_cast<float>(std::atof(lTokens.removeFirst().c_str()));
        pInfo->m_lTags = lTokens;
        lDefinitions.append(pInfo);
    }
}
