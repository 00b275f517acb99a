// The published properties of a control: its placement, state and hint.
#include "framework/Controls.h"
#include "framework/PublishedProperties.h"

void TControl::GetPublishedProperties(TPublishedProperties& List) {
    TComponent::GetPublishedProperties(List);
    using C = TControl;
    List.Ordinal<C>("Left", [](C& c) { return c.GetLeft(); }, [](C& c, int v) { c.SetLeft(v); });
    List.Ordinal<C>("Top", [](C& c) { return c.GetTop(); }, [](C& c, int v) { c.SetTop(v); });
    List.Ordinal<C>("Width", [](C& c) { return c.GetWidth(); }, [](C& c, int v) { c.SetWidth(v); });
    List.Ordinal<C>("Height", [](C& c) { return c.GetHeight(); }, [](C& c, int v) { c.SetHeight(v); });
    List.Ordinal<C>("Enabled", 1, [](C& c) { return c.GetEnabled(); }, [](C& c, int v) { c.SetEnabled(v != 0); });
    List.Ordinal<C>("Visible", 1, [](C& c) { return c.GetVisible(); }, [](C& c, int v) { c.SetVisible(v != 0); });
    List.Ordinal<C>("Color", [](C& c) { return static_cast<int>(c.GetColor()); },
                    [](C& c, int v) { c.SetColor(static_cast<TColor>(v)); });
    List.Ordinal<C>("Cursor", static_cast<int>(crDefault), [](C& c) { return static_cast<int>(c.GetCursor()); },
                    [](C& c, int v) { c.SetCursor(static_cast<TCursor>(v)); });
    List.String<C>("Hint", [](C& c) { return c.GetHint(); }, [](C& c, const AnsiString& v) { c.SetHint(v); });
    List.Ordinal<C>("ShowHint", 0, [](C& c) { return c.GetShowHint(); }, [](C& c, int v) { c.SetShowHint(v != 0); });
}
