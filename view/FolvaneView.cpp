#include "view/FolvaneView.h"

IMPLEMENT_DYNCREATE(CFolvaneView, CView)

BEGIN_MESSAGE_MAP(CFolvaneView, CView)
END_MESSAGE_MAP()
