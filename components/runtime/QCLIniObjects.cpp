// The published properties of any object written to and read from INI or
// registry storage, by the class's published-property table (the free
// functions behind TQCLIniCtrl's ReadObject and WriteObject), and the
// component's own table.
#include "components/runtime/QCLIniCtrl.h"

#include "framework/PublishedProperties.h"

namespace {

// Writes what a layout would keep and what differs from "nothing": an
// ordinal at its declared default, a zero number or an empty text is left out.
template <class Store>
void saveProperties(Store& store, const AnsiString& Section, TPersistent* Object) {
    for (const TPublishedProperty& p : PublishedPropertiesOf(Object)) {
        if (!p.HasSetter() || !p.IsStored(Object)) continue;
        switch (p.Kind) {
        case pkOrdinal: {
            const int value = p.GetOrdinal(Object);
            if (!p.HasDefault || value != p.Default) store.WriteInteger(Section, p.Name, value);
            break;
        }
        case pkFloat: {
            const double value = p.GetFloat(Object);
            if (value != 0) store.WriteString(Section, p.Name, FloatToStrLocale(value));
            break;
        }
        case pkString: {
            const AnsiString value = p.GetString(Object);
            if (!value.empty()) store.WriteString(Section, p.Name, value);
            break;
        }
        }
    }
}

// Every property with a setter is read back with its current value as the
// default, so a missing value leaves the property as it is.
template <class Store>
void loadProperties(Store& store, const AnsiString& Section, TPersistent* Object) {
    for (const TPublishedProperty& p : PublishedPropertiesOf(Object)) {
        if (!p.HasSetter()) continue;
        switch (p.Kind) {
        case pkOrdinal: p.SetOrdinal(Object, store.ReadInteger(Section, p.Name, p.GetOrdinal(Object))); break;
        case pkFloat:
            p.SetFloat(Object, StrToFloat(store.ReadString(Section, p.Name, FloatToStrLocale(p.GetFloat(Object)))));
            break;
        case pkString: p.SetString(Object, store.ReadString(Section, p.Name, p.GetString(Object))); break;
        }
    }
}

// The storage object is an INI file or the registry's INI form; anything
// else stores nothing.
template <class Body>
void onStore(TObject* Ini, Body body) {
    if (auto* ini = dynamic_cast<TCustomIniFile*>(Ini))
        body(*ini);
    else if (auto* reg = dynamic_cast<TRegIniFile*>(Ini))
        body(*reg);
}

}  // namespace

void QCLSaveObjectProperties(TObject* Ini, const AnsiString& Section, TPersistent* Object) {
    onStore(Ini, [&](auto& store) { saveProperties(store, Section, Object); });
}

void QCLLoadObjectProperties(TObject* Ini, const AnsiString& Section, TPersistent* Object) {
    onStore(Ini, [&](auto& store) { loadProperties(store, Section, Object); });
}

void TQCLIniCtrl::GetPublishedProperties(TPublishedProperties& List) {
    TQCLCustomComponent::GetPublishedProperties(List);
    using C = TQCLIniCtrl;
    List.String<C>("About", [](C& c) { return c.About; }, [](C& c, const AnsiString& v) { c.About = v; });
    List.Ordinal<C>("AlphaCounter", 0, [](C& c) { return c.GetAlphaCounter(); },
                    [](C& c, int v) { c.SetAlphaCounter(v != 0); });
    List.Ordinal<C>("Common", 1, [](C& c) { return c.Common; }, [](C& c, int v) { c.Common = v != 0; });
    List.String<C>("IniFile", [](C& c) { return c.GetIniFile(); }, [](C& c, const AnsiString& v) { c.SetIniFile(v); });
    List.Ordinal<C>("IniPrefix", ppWindows, [](C& c) { return static_cast<int>(c.IniPrefix); },
                    [](C& c, int v) { c.IniPrefix = static_cast<TQCLPathPrefix>(v); });
    List.Ordinal<C>("MaxEntries", 16, [](C& c) { return c.GetMaxEntries(); }, [](C& c, int v) { c.SetMaxEntries(v); });
    List.Ordinal<C>("NetUser", 0, [](C& c) { return c.GetNetUser(); }, [](C& c, int v) { c.SetNetUser(v != 0); });
    List.String<C>("User", [](C& c) { return c.User; }, [](C& c, const AnsiString& v) { c.User = v; });
    List.String<C>("RegPath", [](C& c) { return c.RegPath; }, [](C& c, const AnsiString& v) { c.RegPath = v; });
    List.Ordinal<C>("RegRoot", rpCurrentUser, [](C& c) { return static_cast<int>(c.RegRoot); },
                    [](C& c, int v) { c.RegRoot = static_cast<TQCLRegRootKey>(v); });
    List.Ordinal<C>("Target", itAuto, [](C& c) { return static_cast<int>(c.GetTarget()); },
                    [](C& c, int v) { c.SetTarget(static_cast<TQCLIniTarget>(v)); });
}
