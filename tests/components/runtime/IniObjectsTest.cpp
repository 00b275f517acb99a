// Published properties in INI and registry storage: what WriteObject leaves
// out (defaults, zeros, empty texts, properties a layout would not store,
// read-only ones), that ReadObject keeps what is missing, and a form's
// components written and read back on both targets.
#include "components/runtime/QCLIniCtrl.h"

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/PublishedProperties.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const char kTestKey[] = "software\\Quarrendel\\RuntimeTest";

// A component with one property of every kind the table knows, and the
// two a writer must skip: one a layout would not store, one read-only.
class TSampleSettings : public TComponent {
public:
    using TComponent::TComponent;
    int Count = 5;
    double Ratio = 0;
    AnsiString Title;
    bool Unstored = false;
    int Fixed = 42;

    void GetPublishedProperties(TPublishedProperties& List) override {
        TComponent::GetPublishedProperties(List);
        using C = TSampleSettings;
        List.Ordinal<C>("Count", 5, [](C& c) { return c.Count; }, [](C& c, int v) { c.Count = v; });
        List.Float<C>("Ratio", [](C& c) { return c.Ratio; }, [](C& c, double v) { c.Ratio = v; });
        List.String<C>("Title", [](C& c) { return c.Title; }, [](C& c, const AnsiString& v) { c.Title = v; });
        List.Ordinal<C>("Unstored", 0, [](C& c) { return c.Unstored; }, [](C& c, int v) { c.Unstored = v != 0; })
            .Stored = [](TPersistent*) { return false; };
        List.add("Fixed", pkOrdinal).GetOrdinal = [](TPersistent* o) { return static_cast<C*>(o)->Fixed; };
    }
};

enum class Target { Registry, IniFile };

class IniObjects : public brimtest::FreshRegistry, public ::testing::WithParamInterface<Target> {
protected:
    IniObjects() {
        ini.RegPath = kTestKey;
        if (GetParam() == Target::IniFile) {
            ini.Target = itIniFile;
            ini.IniPrefix = ppFixed;
            ini.IniFile = temp.file("objects.ini");
        }
    }
    AnsiString storedLines(const AnsiString& section) {
        TStringList lines;
        ini.ReadSectionValues(section, &lines);
        lines.Sort();
        AnsiString joined;
        for (int i = 0; i < lines.Count(); ++i) joined += lines[i] + "|";
        return joined;
    }
    brimtest::TempFolder temp;
    TQCLIniCtrl ini{nullptr};
};

TEST_P(IniObjects, WritingLeavesOutDefaultsZerosEmptiesAndWhatIsNotStored) {
    struct Case {
        const char* what;
        void (*set)(TSampleSettings&);
        AnsiString stored;
    };
    const Case cases[] = {
        {"all at their defaults", [](TSampleSettings&) {}, ""},
        {"changed values",
         [](TSampleSettings& s) {
             s.SetTag(-3);
             s.Count = 0;
             s.Ratio = 2.5;
             s.Title = "Main";
             s.Unstored = true;
         },
         "Count=0|Ratio=" + FloatToStrLocale(2.5) + "|Tag=-3|Title=Main|"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ini.EraseSection("Sample");
        TSampleSettings sample(nullptr);
        c.set(sample);
        ini.WriteObject("Sample", &sample);
        EXPECT_EQ(storedLines("Sample"), c.stored);
    }
}

TEST_P(IniObjects, ReadingKeepsWhatIsMissingAndAppliesWhatIsThere) {
    ini.WriteInteger("Sample", "Count", 9);
    ini.WriteString("Sample", "Title", "Read");
    ini.WriteInteger("Sample", "Unstored", 1);  // read back all the same
    ini.WriteInteger("Sample", "Fixed", 7);     // read-only: ignored
    TSampleSettings sample(nullptr);
    sample.Ratio = 1.25;
    sample.SetTag(4);
    ini.ReadObject("Sample", &sample);
    EXPECT_EQ(sample.Count, 9);
    EXPECT_EQ(sample.Title, "Read");
    EXPECT_TRUE(sample.Unstored);
    EXPECT_EQ(sample.Fixed, 42);
    EXPECT_DOUBLE_EQ(sample.Ratio, 1.25);
    EXPECT_EQ(sample.GetTag(), 4);

    ini.WriteString("Sample", "Ratio", "not a number");
    EXPECT_THROW(ini.ReadObject("Sample", &sample), EConvertError);
}

// A form's components, each under a section of its name, come back whole
// into a form freshly made with the defaults.
TEST_P(IniObjects, AFormsComponentsRoundTrip) {
    auto makeForm = [] {
        auto* form = MakeForm<TForm>(nullptr);
        auto* panel = new TPanel(form);
        panel->SetName("Panel1");
        panel->SetParent(form);
        auto* storage = new TQCLIniCtrl(form);
        storage->SetName("Storage1");
        auto* sample = new TSampleSettings(form);
        sample->SetName("Sample1");
        return std::unique_ptr<TForm, void (*)(TForm*)>(form, [](TForm* f) { f->Free(); });
    };
    auto saved = makeForm();
    auto* panel = static_cast<TPanel*>(saved->FindComponent("Panel1"));
    panel->SetBounds(12, 34, 156, 78);
    panel->SetHint("Settings panel");
    panel->SetShowHint(true);
    panel->SetEnabled(false);
    panel->SetColor(clNavy);
    auto* storage = static_cast<TQCLIniCtrl*>(saved->FindComponent("Storage1"));
    storage->AlphaCounter = true;
    storage->Common = false;
    storage->User = "bob";
    storage->RegRoot = rpLocalMachine;
    storage->Target = itIniFile;
    storage->IniFile = "brim";
    auto* sample = static_cast<TSampleSettings*>(saved->FindComponent("Sample1"));
    sample->Count = -1;
    sample->Ratio = 0.5;
    sample->Title = "Round trip";
    for (int i = 0; i < saved->GetComponentCount(); ++i)
        ini.WriteObject(saved->GetComponent(i)->GetName(), saved->GetComponent(i));

    auto loaded = makeForm();
    for (int i = 0; i < loaded->GetComponentCount(); ++i)
        ini.ReadObject(loaded->GetComponent(i)->GetName(), loaded->GetComponent(i));
    for (int i = 0; i < saved->GetComponentCount(); ++i) {
        TComponent* before = saved->GetComponent(i);
        TComponent* after = loaded->FindComponent(before->GetName());
        SCOPED_TRACE(before->GetName());
        for (const TPublishedProperty& p : PublishedPropertiesOf(before)) {
            SCOPED_TRACE(p.Name);
            switch (p.Kind) {
            case pkOrdinal: EXPECT_EQ(p.GetOrdinal(after), p.GetOrdinal(before)); break;
            case pkFloat: EXPECT_DOUBLE_EQ(p.GetFloat(after), p.GetFloat(before)); break;
            case pkString: EXPECT_EQ(p.GetString(after), p.GetString(before)); break;
            }
        }
    }
    EXPECT_EQ(static_cast<TQCLIniCtrl*>(loaded->FindComponent("Storage1"))->GetIniFile(), "brim.INI");
}

INSTANTIATE_TEST_SUITE_P(BothTargets, IniObjects, ::testing::Values(Target::Registry, Target::IniFile),
                         [](const ::testing::TestParamInfo<Target>& info) {
                             return info.param == Target::Registry ? "Registry" : "IniFile";
                         });

}  // namespace
