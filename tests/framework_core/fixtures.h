// Small component classes of the tests' own, so the core is tested without the real controls.
#pragma once

#include <framework/classes.h>
#include <framework/controls.h>
#include <framework/forms.h>
#include <framework/typinfo.h>

#include <functional>
#include <string>
#include <vector>

// Writes "<name> gone" to a shared log when destroyed, and whether its own part was still whole in
// BeforeDestruction.
class TLoggedComponent : public TComponent {
    DECLARE_PUBLISHED
public:
    explicit TLoggedComponent(TComponent* owner) : TComponent(owner) {}
    ~TLoggedComponent() override;
    static std::vector<String>& Log();
    int Level() const { return level_; }
    void SetLevel(int v) { level_ = v; }

protected:
    void BeforeDestruction() override;

private:
    int level_ = 7;
};

enum TShade { shLight, shMedium, shDark };
enum TEdge { egLeft, egTop, egRight, egBottom };
using TEdges = TSet<TEdge>;

class TSampleEntry : public TCollectionItem {
    DECLARE_PUBLISHED
public:
    explicit TSampleEntry(TCollection* c) : TCollectionItem(c) {}
    const String& Text() const { return text_; }
    void SetText(const String& v) { text_ = v; }
    int Width() const { return width_; }
    void SetWidth(int v) { width_ = v; }
    void Assign(const TPersistent* source) override;

private:
    String text_;
    int width_ = 50;
};

// A windowed control publishing one property of every kind.
class TSampleBox : public TWinControl {
    DECLARE_PUBLISHED
public:
    explicit TSampleBox(TComponent* owner);
    int Count() const { return count_; }
    void SetCount(int v) {
        if (v < 0) throw EInvalidOperation(L"Count must not be negative");
        count_ = v;
    }
    bool Checked() const { return checked_; }
    void SetChecked(bool v) { checked_ = v; }
    TShade Shade() const { return shade_; }
    void SetShade(TShade v) { shade_ = v; }
    TEdges Edges() const { return edges_; }
    void SetEdges(TEdges v) { edges_ = v; }
    TStrings* Items() const { return items_.get(); }
    TCollectionOf<TSampleEntry>* Entries() const { return entries_.get(); }
    const std::vector<std::uint8_t>& Data() const { return data_; }
    void ReadData(TStream& s);
    TSampleBox* Buddy() const { return buddy_; }
    void SetBuddy(TSampleBox* b) { buddy_ = b; }
    int LoadedCalls() const { return loadedCalls_; }
    void Loaded() override;

    TNotifyEvent OnChange;
    std::function<void(TObject*, int&)> OnCount;

private:
    int count_ = 0;
    bool checked_ = false;
    TShade shade_ = shLight;
    TEdges edges_;
    std::unique_ptr<TStringList> items_ = std::make_unique<TStringList>();
    std::unique_ptr<TCollectionOf<TSampleEntry>> entries_ =
        std::make_unique<TCollectionOf<TSampleEntry>>(this);
    std::vector<std::uint8_t> data_;
    TSampleBox* buddy_ = nullptr;
    int loadedCalls_ = 0;
};

// A derived class adding to its base's table.
class TSampleBoxPlus : public TSampleBox {
    DECLARE_PUBLISHED
public:
    explicit TSampleBoxPlus(TComponent* owner) : TSampleBox(owner) {}
    const String& Extra() const { return extra_; }
    void SetExtra(const String& v) { extra_ = v; }

private:
    String extra_;
};

// A windowless control the parent paints and passes clicks to.
class TSampleMark : public TGraphicControl {
    DECLARE_PUBLISHED
public:
    explicit TSampleMark(TComponent* owner) : TGraphicControl(owner) {}
    void Paint(HDC dc) override;
    int Paints = 0;
};

void RegisterSampleClasses();

// Collects what the application would report, for one test.
class ReportRecorder {
public:
    ReportRecorder();
    ~ReportRecorder();
    std::vector<String> Texts;

private:
    TExceptionReporter previous_;
};
