// Sets (or, with a null value, removes) an environment variable for the
// scope's life and restores what was there before.
#pragma once

#include <stdlib.h>

#include <string>

class CScopedEnv
{
public:
    CScopedEnv(const char* pszName, const char* pszValue) : m_sName(pszName)
    {
        const char* pszOld = getenv(pszName);
        m_bHad = pszOld != nullptr;
        if (m_bHad)
            m_sOld = pszOld;
        if (pszValue)
            setenv(pszName, pszValue, 1);
        else
            unsetenv(pszName);
    }
    ~CScopedEnv()
    {
        if (m_bHad)
            setenv(m_sName.c_str(), m_sOld.c_str(), 1);
        else
            unsetenv(m_sName.c_str());
    }
    CScopedEnv(const CScopedEnv&) = delete;
    CScopedEnv& operator=(const CScopedEnv&) = delete;

private:
    std::string m_sName;
    std::string m_sOld;
    bool m_bHad = false;
};
