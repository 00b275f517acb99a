// The shadow of the library's region objects: a shadow that starts switched
// off (Style hssNone).
#pragma once

#include "components/runtime/QCLShadow.h"

class TQCLRgnShadow : public TQCLShadow {
public:
    TQCLRgnShadow() : TQCLShadow(hssNone) {}
    AnsiString ClassName() const override { return "TQCLRgnShadow"; }
};
