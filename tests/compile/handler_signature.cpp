// Compiled by the tests, never linked: a message map entry whose handler has the wrong
// signature must be rejected by the compiler.
#include "framework/Wnd.h"

class SignatureProbe : public CWnd {
public:
    void OnCommandRight() {}
    void OnCommandWrong(int) {}
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SignatureProbe, CWnd)
#ifdef WRONG_SIGNATURE
    ON_COMMAND(100, &SignatureProbe::OnCommandWrong)
#else
    ON_COMMAND(100, &SignatureProbe::OnCommandRight)
#endif
END_MESSAGE_MAP()
