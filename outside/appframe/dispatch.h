// The exception of a failed dispatch call (CWnd::InvokeHelper).
#pragma once

#include <exception>
#include <string>

#include "windows.h"

class COleDispatchException : public std::exception {
public:
    COleDispatchException(HRESULT scError, std::string description, WORD wCode = 0)
        : m_scError(scError), m_wCode(wCode), m_strDescription(std::move(description)) {}
    const char* what() const noexcept override { return m_strDescription.c_str(); }

    HRESULT m_scError;  // the call's result (the component's own code for DISP_E_EXCEPTION)
    WORD m_wCode;
    std::string m_strDescription;  // narrow text: the component's description, else the code
};
