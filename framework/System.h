/*
 * Run-time base of the framework: the 8-bit string type, the root class
 * TObject, small sets over enumerations, events (closures), and the point and
 * rectangle types.
 *
 * An event is an object pointer plus a member-function pointer, so it can be
 * copied, nulled and compared: handlers are detached and swapped at run time
 * by comparing them. Tests may bind any callable instead; such an event equals
 * only its own copies.
 */
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>

#include "framework/Property.h"

// Counted 8-bit ANSI string; byte 0 is allowed inside.
using AnsiString = std::string;

// ---------------------------------------------------------------------------
// TObject

class TObject {
public:
    TObject() = default;
    virtual ~TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;

    // The class's own name, as declared ("TStringList"); used in error texts.
    virtual AnsiString ClassName() const;
    template <class T> bool InheritsFrom() const { return dynamic_cast<const T*>(this) != nullptr; }

    // Two-phase construction and destruction. BeforeDestruction runs before
    // any destructor when the object is freed through Free/FreeAndNil (or by
    // its owner), so destruction state is visible to everyone notified.
    virtual void AfterConstruction() {}
    virtual void BeforeDestruction() {}
    // Runs BeforeDestruction, then deletes the object.
    void Free() { BeforeDestruction(); delete this; }
};

// Class name of a type without an instance (namespaces dropped).
AnsiString DemangledClassName(const std::type_info& type);
template <class T> AnsiString ClassNameOf() { return DemangledClassName(typeid(T)); }

// ---------------------------------------------------------------------------
// TSet: a set of enumeration values (at most 64), spelled as the framework's
// sets: `Shift.Contains(ssShift)`, `State << csLoading`, `State >> csLoading`.

template <class E>
class TSet {
public:
    TSet() = default;
    TSet(std::initializer_list<E> items) { for (E e : items) *this << e; }

    bool Contains(E e) const { return (bits_ & bit(e)) != 0; }
    TSet& operator<<(E e) { bits_ |= bit(e); return *this; }
    TSet& operator>>(E e) { bits_ &= ~bit(e); return *this; }
    bool Empty() const { return bits_ == 0; }
    void Clear() { bits_ = 0; }
    TSet operator+(const TSet& o) const { TSet r; r.bits_ = bits_ | o.bits_; return r; }
    TSet operator-(const TSet& o) const { TSet r; r.bits_ = bits_ & ~o.bits_; return r; }
    TSet operator*(const TSet& o) const { TSet r; r.bits_ = bits_ & o.bits_; return r; }
    bool operator==(const TSet& o) const { return bits_ == o.bits_; }
    bool operator!=(const TSet& o) const { return bits_ != o.bits_; }
    uint64_t Bits() const { return bits_; }
    static TSet FromBits(uint64_t bits) { TSet r; r.bits_ = bits; return r; }

private:
    static uint64_t bit(E e) { return uint64_t(1) << static_cast<unsigned>(e); }
    uint64_t bits_ = 0;
};

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

// ---------------------------------------------------------------------------
// Events (closures)

template <class Signature> class TEvent;

template <class... Args>
class TEvent<void(Args...)> {
public:
    TEvent() = default;
    TEvent(std::nullptr_t) {}

    // Binds a member function of an object: `{this, &TFormMain::Button1Click}`.
    template <class C, class M>
    TEvent(C* object, void (M::*method)(Args...)) : object_(static_cast<M*>(object)) {
        static_assert(sizeof(method) <= sizeof(method_), "member pointer too large");
        std::memcpy(method_, &method, sizeof(method));
        invoke_ = [](const TEvent& e, Args... args) {
            void (M::*m)(Args...);
            std::memcpy(&m, e.method_, sizeof(m));
            (static_cast<M*>(e.object_)->*m)(std::forward<Args>(args)...);
        };
    }

    // Binds any callable (tests, small adapters).
    template <class F, class = std::enable_if_t<!std::is_same<std::decay_t<F>, TEvent>::value &&
                                                !std::is_same<std::decay_t<F>, std::nullptr_t>::value &&
                                                std::is_invocable<F&, Args...>::value>>
    TEvent(F&& callable)
        : callable_(std::make_shared<std::function<void(Args...)>>(std::forward<F>(callable))) {
        object_ = callable_.get();
        invoke_ = [](const TEvent& e, Args... args) { (*e.callable_)(std::forward<Args>(args)...); };
    }

    explicit operator bool() const { return invoke_ != nullptr; }
    bool Assigned() const { return invoke_ != nullptr; }
    void operator()(Args... args) const {
        if (invoke_) invoke_(*this, std::forward<Args>(args)...);
    }
    // The bound object (the closure's data), or null.
    void* Object() const { return object_; }

    bool operator==(const TEvent& o) const {
        return object_ == o.object_ && invoke_ == o.invoke_ && std::memcmp(method_, o.method_, sizeof(method_)) == 0;
    }
    bool operator!=(const TEvent& o) const { return !(*this == o); }
    bool operator==(std::nullptr_t) const { return invoke_ == nullptr; }
    bool operator!=(std::nullptr_t) const { return invoke_ != nullptr; }

private:
    void* object_ = nullptr;
    unsigned char method_[16] = {};
    void (*invoke_)(const TEvent&, Args...) = nullptr;
    std::shared_ptr<std::function<void(Args...)>> callable_;
};

using TNotifyEvent = TEvent<void(TObject* Sender)>;

// ---------------------------------------------------------------------------
// Points and rectangles, layout-compatible with POINT and RECT.

struct TPoint {
    int x = 0, y = 0;
    TPoint() = default;
    TPoint(int X, int Y) : x(X), y(Y) {}
    TPoint(const POINT& p) : x(p.x), y(p.y) {}
    operator POINT() const { return POINT{x, y}; }
    bool operator==(const TPoint& o) const { return x == o.x && y == o.y; }
    bool operator!=(const TPoint& o) const { return !(*this == o); }
};

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    TRect() = default;
    TRect(int l, int t, int r, int b) : Left(l), Top(t), Right(r), Bottom(b) {}
    TRect(const TPoint& topLeft, const TPoint& bottomRight)
        : Left(topLeft.x), Top(topLeft.y), Right(bottomRight.x), Bottom(bottomRight.y) {}
    TRect(const RECT& r) : Left(r.left), Top(r.top), Right(r.right), Bottom(r.bottom) {}
    operator RECT() const { return RECT{Left, Top, Right, Bottom}; }
    // The same memory as a Win32 RECT, for calls that write through a pointer.
    RECT* rc() { return reinterpret_cast<RECT*>(this); }
    const RECT* rc() const { return reinterpret_cast<const RECT*>(this); }
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    TPoint TopLeft() const { return TPoint(Left, Top); }
    TPoint BottomRight() const { return TPoint(Right, Bottom); }
    bool Contains(const TPoint& p) const { return p.x >= Left && p.x < Right && p.y >= Top && p.y < Bottom; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool operator==(const TRect& o) const {
        return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
    }
    bool operator!=(const TRect& o) const { return !(*this == o); }
};
static_assert(sizeof(TRect) == sizeof(RECT), "TRect must match RECT");

inline TPoint Point(int x, int y) { return TPoint(x, y); }
inline TRect Rect(int l, int t, int r, int b) { return TRect(l, t, r, b); }
inline TRect Bounds(int l, int t, int w, int h) { return TRect(l, t, l + w, t + h); }

struct TSize {
    int cx = 0, cy = 0;
};

// Frees an object after its BeforeDestruction step (components: csDestroying
// is set before any destructor runs) and nulls the pointer.
template <class T> void FreeAndNil(T*& object) {
    T* doomed = object;
    object = nullptr;
    if (doomed) doomed->Free();
}
