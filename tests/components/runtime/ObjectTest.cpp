// Change notification of the library's property objects and components.
#include "components/runtime/QCLCustomComponent.h"
#include "components/runtime/QCLObject.h"

#include <gtest/gtest.h>

namespace {

// A property object with one notifying setter, as the paint objects have.
class TSampleObject : public TQCLObject {
public:
    void SetWidth(int w) {
        if (w == width_)
            return;
        width_ = w;
        Change();
    }

private:
    int width_ = 0;
};

template <class T>
void checkNotification(T& object) {
    object.Change();  // unassigned: ignored

    int changes = 0;
    TObject* sender = nullptr;
    object.OnChange = [&](TObject* s) { ++changes, sender = s; };
    object.Change();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(sender, &object);

    object.BeginUpdate();
    object.BeginUpdate();  // the flag does not nest
    object.Change();
    object.GetChange(nullptr);
    EXPECT_EQ(changes, 1);
    object.EndUpdate(false);
    EXPECT_FALSE(object.IsUpdating());
    EXPECT_EQ(changes, 1);

    object.BeginUpdate();
    object.EndUpdate(true);
    EXPECT_EQ(changes, 2);
    object.GetChange(nullptr);
    EXPECT_EQ(changes, 3);
}

TEST(QCLObject, ChangeNotification) {
    TSampleObject object;
    checkNotification(object);
    EXPECT_EQ(object.GetSetStr(), "");
}

TEST(QCLObject, SettersBetweenUpdatesNotifyOnceAtTheEnd) {
    TSampleObject object;
    int changes = 0;
    object.OnChange = [&](TObject*) { ++changes; };
    object.BeginUpdate();
    object.SetWidth(1);
    object.SetWidth(2);
    object.SetWidth(2);
    EXPECT_EQ(changes, 0);
    object.EndUpdate(true);
    EXPECT_EQ(changes, 1);
}

TEST(QCLCustomComponent, ChangeNotification) {
    TQCLCustomComponent component(nullptr);
    checkNotification(component);
}

}  // namespace
