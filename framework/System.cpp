/*
 * TObject's class name comes from the C++ type information, demangled, with
 * any namespace dropped, so every class reports its declared name without
 * per-class boilerplate.
 */
#include "framework/System.h"

#include <cxxabi.h>

#include <cstdlib>
#include <typeinfo>

AnsiString DemangledClassName(const std::type_info& type) {
    int status = 0;
    char* demangled = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    AnsiString name = (status == 0 && demangled) ? demangled : type.name();
    std::free(demangled);
    auto templateStart = name.find('<');
    auto lastScope = name.rfind("::", templateStart);
    if (lastScope != AnsiString::npos) name.erase(0, lastScope + 2);
    return name;
}

AnsiString TObject::ClassName() const { return DemangledClassName(typeid(*this)); }
