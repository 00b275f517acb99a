/*
 * Per-class tables of published properties: what the framework has instead
 * of reflection. A class lists its published properties, base class first,
 * in TPersistent::GetPublishedProperties; storage code (the library's INI
 * and registry component) walks the table to write and read an object's
 * settings by name.
 *
 * Each entry is one of three kinds, the kinds settings storage knows:
 * ordinal (integers, booleans, characters, enumerations and sets, carried
 * as an int), floating point and string. An entry without a setter is
 * read-only; Stored (when given) says whether the current value would be
 * written to a layout; Default is the declared default of an ordinal.
 */
#pragma once

#include "framework/Classes.h"

#include <functional>
#include <vector>

enum TPublishedKind { pkOrdinal, pkFloat, pkString };

struct TPublishedProperty {
    AnsiString Name;
    TPublishedKind Kind = pkOrdinal;
    // The declared default of an ordinal; an ordinal without one is always written.
    bool HasDefault = false;
    int Default = 0;

    std::function<int(TPersistent*)> GetOrdinal;
    std::function<void(TPersistent*, int)> SetOrdinal;
    std::function<double(TPersistent*)> GetFloat;
    std::function<void(TPersistent*, double)> SetFloat;
    std::function<AnsiString(TPersistent*)> GetString;
    std::function<void(TPersistent*, const AnsiString&)> SetString;
    std::function<bool(TPersistent*)> Stored;

    bool HasSetter() const { return SetOrdinal || SetFloat || SetString; }
    bool IsStored(TPersistent* Object) const { return !Stored || Stored(Object); }
};

class TPublishedProperties {
public:
    // An ordinal with a declared default; Get and Set take the owning class.
    template <class C, class Get, class Set>
    TPublishedProperty& Ordinal(const AnsiString& Name, int Default, Get get, Set set) {
        TPublishedProperty& p = add(Name, pkOrdinal);
        p.HasDefault = true;
        p.Default = Default;
        p.GetOrdinal = [get](TPersistent* o) { return static_cast<int>(get(*static_cast<C*>(o))); };
        p.SetOrdinal = [set](TPersistent* o, int v) { set(*static_cast<C*>(o), v); };
        return p;
    }
    // An ordinal without a declared default: always written.
    template <class C, class Get, class Set>
    TPublishedProperty& Ordinal(const AnsiString& Name, Get get, Set set) {
        TPublishedProperty& p = Ordinal<C>(Name, 0, get, set);
        p.HasDefault = false;
        return p;
    }
    template <class C, class Get, class Set>
    TPublishedProperty& Float(const AnsiString& Name, Get get, Set set) {
        TPublishedProperty& p = add(Name, pkFloat);
        p.GetFloat = [get](TPersistent* o) { return static_cast<double>(get(*static_cast<C*>(o))); };
        p.SetFloat = [set](TPersistent* o, double v) { set(*static_cast<C*>(o), v); };
        return p;
    }
    template <class C, class Get, class Set>
    TPublishedProperty& String(const AnsiString& Name, Get get, Set set) {
        TPublishedProperty& p = add(Name, pkString);
        p.GetString = [get](TPersistent* o) { return AnsiString(get(*static_cast<C*>(o))); };
        p.SetString = [set](TPersistent* o, const AnsiString& v) { set(*static_cast<C*>(o), v); };
        return p;
    }

    TPublishedProperty& add(const AnsiString& Name, TPublishedKind Kind) {
        items_.push_back(TPublishedProperty{});
        items_.back().Name = Name;
        items_.back().Kind = Kind;
        return items_.back();
    }
    int Count() const { return static_cast<int>(items_.size()); }
    const TPublishedProperty* Find(const AnsiString& Name) const;
    std::vector<TPublishedProperty>::const_iterator begin() const { return items_.begin(); }
    std::vector<TPublishedProperty>::const_iterator end() const { return items_.end(); }

private:
    std::vector<TPublishedProperty> items_;
};

// The table of an object's class (empty for a class that publishes nothing).
TPublishedProperties PublishedPropertiesOf(TPersistent* Object);
