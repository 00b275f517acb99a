// The timer pool of the qclclass unit: logical timers multiplexed over one
// window timer of a hidden window.
//
// Events may add or remove timers, their own included, while the pool ticks.
// A tick therefore walks a snapshot of the identifiers present when it
// started and looks each one up again before firing it, so a removed item is
// never touched and a new one first fires on the next tick. An item's event is
// copied before it is called, because the event may free the item. An event
// that raises is reported and the tick goes on with the next item, so one
// failing timer cannot stall the tick count for every control.
#include "components/runtime/qclclass.h"

#include "components/runtime/qclerrors.h"

#include <limits>
#include <vector>

namespace {

constexpr UINT_PTR kTimerId = 1;

int32_t nextCount(int32_t value) { return value == std::numeric_limits<int32_t>::max() ? 0 : value + 1; }

}  // namespace

// ---------------------------------------------------------------------------
// TQCLTimerItem

TQCLTimerItem::TQCLTimerItem(TQCLTimerPool* Pool, TList* List) : list_(List), pool_(Pool) {
    if (!Pool || !List)
        throw EInvalidOperation(ClassName() + ": Invalid Owner or List");
    multiple_ = interval_ / Pool->MinInterval;
    list_->Add(this);
}

TQCLTimerItem::~TQCLTimerItem() {
    enabled_ = false;
    OnTimer = nullptr;
    list_->Remove(this);
}

void TQCLTimerItem::SetCallCount(int32_t value) {
    if (value == callCount_)
        return;
    callCount_ = value < -1 ? -1 : value;
    if (callCount_ == 0)
        SetEnabled(false);
}

void TQCLTimerItem::SetEnabled(bool value) {
    if (value == enabled_ || (value && callCount_ == 0))
        return;
    enabled_ = value;
    counter_ = 0;
}

void TQCLTimerItem::SetInterval(uint16_t value) {
    if (value == interval_)
        return;
    const uint16_t minInterval = pool_->MinInterval;
    if (value == 0)
        value = minInterval;
    if (value % minInterval != 0)
        return;
    multiple_ = value / minInterval;
    interval_ = value;
    counter_ = 0;
}

void TQCLTimerItem::Timer() {
    if (!enabled_)
        return;
    counter_ = nextCount(counter_);
    if (counter_ == callCount_)
        enabled_ = false;  // this call still happens; the count stays readable
    TQCLTimerPool* pool = pool_;
    if (OnTimer) {
        const TNotifyEvent event = OnTimer;  // the event may free this item
        event(pool);
    } else if (pool->OnTimer) {
        const TQCLTimerPoolEvent event = pool->OnTimer;
        event(pool, ident_, counter_);
    }
}

// ---------------------------------------------------------------------------
// TQCLTimerPool

TQCLTimerPool::TQCLTimerPool(TComponent* AOwner) : TQCLTimerPool(AOwner, 1000) {}

TQCLTimerPool::TQCLTimerPool(TComponent* AOwner, TQCLTimerInterval MinInterval)
    : TQCLCustomComponent(AOwner), minInterval_(MinInterval == 0 ? 1 : MinInterval) {}

TQCLTimerPool::~TQCLTimerPool() {
    ClearTimers();
    DeallocateHWnd(window_);
}

void TQCLTimerPool::SetMinInterval(TQCLTimerInterval value) {
    if (ComponentState().Contains(csLoading) && value != 0)
        minInterval_ = value;
}

int TQCLTimerPool::IndexOf(uint16_t Ident) const {
    for (int i = 0; i < items_.Count; ++i)
        if (static_cast<TQCLTimerItem*>(items_.Get(i))->ident_ == Ident)
            return i;
    return -1;
}

TQCLTimerItem* TQCLTimerPool::GetTimer(uint16_t Ident) const {
    const int index = IndexOf(Ident);
    return index < 0 ? nullptr : static_cast<TQCLTimerItem*>(items_.Get(index));
}

int TQCLTimerPool::GetActiveTimers() const {
    int active = 0;
    for (int i = 0; i < items_.Count; ++i)
        if (static_cast<TQCLTimerItem*>(items_.Get(i))->enabled_)
            ++active;
    return active;
}

int TQCLTimerPool::AddTimer(uint16_t Ident, uint16_t Interval, TNotifyEvent Event) {
    const int existing = IndexOf(Ident);
    if (existing >= 0)
        throw Exception(QCLLoadStr(65380, "List index out of bounds (%d)"), {static_cast<int>(Ident)});
    if (Interval < minInterval_ || Interval % minInterval_ != 0)
        throw Exception(QCLLoadStr(65495, "Interval not compatible with MinInterval property!"));
    auto* item = new TQCLTimerItem(this, &items_);
    item->ident_ = Ident;
    item->SetInterval(Interval);
    item->OnTimer = Event;
    UpdateMainTimer(true);
    return items_.IndexOf(item);
}

int TQCLTimerPool::AddTimerExt(uint16_t Ident, uint16_t Interval, int32_t CallCount, bool Enabled,
                               TNotifyEvent Event) {
    const int index = AddTimer(Ident, Interval, Event);
    auto* item = static_cast<TQCLTimerItem*>(items_.Get(index));
    item->SetCallCount(CallCount);
    item->SetEnabled(Enabled);
    return index;
}

void TQCLTimerPool::RemoveTimer(uint16_t Ident) {
    removing_ = true;
    if (TQCLTimerItem* item = GetTimer(Ident)) {
        item->SetEnabled(false);
        item->OnTimer = nullptr;
        delete item;
        if (items_.Count == 0)
            UpdateMainTimer(false);
    }
    removing_ = false;
}

void TQCLTimerPool::ClearTimers() {
    UpdateMainTimer(false);
    while (items_.Count > 0)
        delete static_cast<TQCLTimerItem*>(items_.Get(items_.Count - 1));
}

void TQCLTimerPool::UpdateMainTimer(bool Active) {
    if (!window_)
        window_ = AllocateHWnd(TWndMethod(this, &TQCLTimerPool::windowProc));
    active_ = false;
    if (window_)
        KillTimer(window_, kTimerId);
    if (!Active || GetActiveTimers() == 0)
        return;
    if (!window_ || !SetTimer(window_, kTimerId, minInterval_, nullptr))
        throw EOutOfResources(QCLLoadStr(65244, "Not enough timers available"));
    tickCounter_ = 1;
    active_ = true;
}

void TQCLTimerPool::HandleTimers() {
    if (removing_)
        return;
    std::vector<uint16_t> idents;
    idents.reserve(static_cast<size_t>(items_.Count));
    for (int i = 0; i < items_.Count; ++i)
        idents.push_back(static_cast<TQCLTimerItem*>(items_.Get(i))->ident_);
    const int32_t tick = tickCounter_;
    for (uint16_t ident : idents) {
        TQCLTimerItem* item = GetTimer(ident);
        if (!item || !item->enabled_ || item->multiple_ <= 0 || tick % item->multiple_ != 0)
            continue;
        try {
            item->Timer();
        } catch (...) {
            QCLReportException(this);  // one failing event must not starve the others
        }
    }
    tickCounter_ = nextCount(tickCounter_);
}

void TQCLTimerPool::tick() {
    if (inTick_)
        return;  // re-entered from a nested message loop: this tick is lost
    inTick_ = true;
    try {
        HandleTimers();
    } catch (...) {
        inTick_ = false;
        QCLReportException(this);
        return;
    }
    inTick_ = false;
}

void TQCLTimerPool::windowProc(TMessage& Message) {
    if (Message.Msg == WM_TIMER)
        tick();
    else
        DefaultWindowResult(window_, Message);
}
