// Per-class tables of published properties.
#include "framework/PublishedProperties.h"

const TPublishedProperty* TPublishedProperties::Find(const AnsiString& Name) const {
    for (const TPublishedProperty& p : items_)
        if (SameText(p.Name, Name)) return &p;
    return nullptr;
}

TPublishedProperties PublishedPropertiesOf(TPersistent* Object) {
    TPublishedProperties list;
    if (Object) Object->GetPublishedProperties(list);
    return list;
}

// The component's table lives here, beside the table type, so that Classes.cpp keeps to its
// concerns; the control's is in ControlProperties.cpp, away from the window-free readers that
// link this file.

void TComponent::GetPublishedProperties(TPublishedProperties& List) {
    TPersistent::GetPublishedProperties(List);
    List.Ordinal<TComponent>(
        "Tag", 0, [](TComponent& c) { return c.GetTag(); }, [](TComponent& c, int v) { c.SetTag(v); });
}
