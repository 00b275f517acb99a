/*
 * Property helpers: a member that reads through a getter and writes through a
 * setter, so that user code can spell `Canvas->Brush->Color = clRed` or
 * `Left += 4` while the setter still does its work (repaint, notification).
 *
 * The getter and setter are passed as member-function pointers (C++17 `auto`
 * template parameters); the property stores only the owning object's pointer.
 * A property cannot be copied: `auto w = Width;` does not compile, use
 * `int w = Width;` or `Width()`.
 *
 * Indexed properties (`Strings[i]`, `Objects[i]`, `Pixels[x][y]`) return a
 * small proxy that reads on conversion and writes on assignment.
 *
 * SetIfChanged is the body of most setters: store the value, and react
 * (repaint, notify, restart) only when it really changed.
 */
#pragma once

#include <type_traits>
#include <utility>

namespace brim_detail {

template <class> struct GetterTraits;
template <class C, class R> struct GetterTraits<R (C::*)() const> {
    using Class = C;
    using Value = std::decay_t<R>;
};
template <class C, class R> struct GetterTraits<R (C::*)()> : GetterTraits<R (C::*)() const> {};
template <class C, class R, class I> struct GetterTraits<R (C::*)(I) const> {
    using Class = C;
    using Value = std::decay_t<R>;
    using Index = std::decay_t<I>;
};
template <class C, class R, class I> struct GetterTraits<R (C::*)(I)> : GetterTraits<R (C::*)(I) const> {};
template <class C, class R, class I, class J> struct GetterTraits<R (C::*)(I, J) const> {
    using Class = C;
    using Value = std::decay_t<R>;
    using Index = std::decay_t<I>;
};

}  // namespace brim_detail

// A read-only property.
template <auto Getter>
class ReadProperty {
    using Traits = brim_detail::GetterTraits<decltype(Getter)>;

public:
    using Class = typename Traits::Class;
    using Value = typename Traits::Value;

    explicit ReadProperty(Class* self) : self_(self) {}
    ReadProperty(const ReadProperty&) = delete;
    ReadProperty& operator=(const ReadProperty&) = delete;

    Value get() const { return (self_->*Getter)(); }
    operator Value() const { return get(); }
    Value operator()() const { return get(); }
    template <class V = Value, std::enable_if_t<std::is_pointer<V>::value, int> = 0>
    V operator->() const { return get(); }
    // `static_cast<TDerived*>(property)` for pointer-valued properties.
    template <class P, class V = Value,
              std::enable_if_t<std::is_pointer<V>::value && std::is_pointer<P>::value && !std::is_same<P, V>::value, int> = 0>
    explicit operator P() const { return static_cast<P>(get()); }

private:
    Class* self_;
};

// A read-write property.
template <auto Getter, auto Setter>
class Property {
    using Traits = brim_detail::GetterTraits<decltype(Getter)>;

public:
    using Class = typename Traits::Class;
    using Value = typename Traits::Value;

    explicit Property(Class* self) : self_(self) {}
    Property(const Property&) = delete;

    Value get() const { return (self_->*Getter)(); }
    void set(const Value& value) { (self_->*Setter)(value); }
    operator Value() const { return get(); }
    Value operator()() const { return get(); }
    template <class V = Value, std::enable_if_t<std::is_pointer<V>::value, int> = 0>
    V operator->() const { return get(); }
    // `static_cast<TDerived*>(property)` for pointer-valued properties.
    template <class P, class V = Value,
              std::enable_if_t<std::is_pointer<V>::value && std::is_pointer<P>::value && !std::is_same<P, V>::value, int> = 0>
    explicit operator P() const { return static_cast<P>(get()); }

    Property& operator=(const Value& value) { set(value); return *this; }
    Property& operator=(const Property& other) { set(other.get()); return *this; }
    template <class U, std::enable_if_t<std::is_convertible<U, Value>::value &&
                                        !std::is_same<std::decay_t<U>, Value>::value, int> = 0>
    Property& operator=(U&& value) { set(Value(std::forward<U>(value))); return *this; }

    template <class U> Property& operator+=(const U& d) { set(get() + d); return *this; }
    template <class U> Property& operator-=(const U& d) { set(get() - d); return *this; }
    template <class U> Property& operator|=(const U& d) { set(get() | d); return *this; }
    template <class U> Property& operator&=(const U& d) { set(get() & d); return *this; }
    template <class U> Property& operator<<(const U& d) { set(get() << d); return *this; }
    template <class U> Property& operator>>(const U& d) { set(get() >> d); return *this; }
    Property& operator++() { set(get() + 1); return *this; }
    Property& operator--() { set(get() - 1); return *this; }
    Value operator++(int) { Value old = get(); set(old + 1); return old; }
    Value operator--(int) { Value old = get(); set(old - 1); return old; }

private:
    Class* self_;
};

// An indexed property: `Strings[i]` reads and writes through (index) accessors.
template <auto Getter, auto Setter = nullptr>
class IndexedProperty {
    using Traits = brim_detail::GetterTraits<decltype(Getter)>;

public:
    using Class = typename Traits::Class;
    using Value = typename Traits::Value;
    using Index = typename Traits::Index;

    class Item {
    public:
        Item(Class* self, Index index) : self_(self), index_(index) {}
        operator Value() const { return (self_->*Getter)(index_); }
        Value operator()() const { return (self_->*Getter)(index_); }
        template <class V = Value, std::enable_if_t<std::is_pointer<V>::value, int> = 0>
        V operator->() const { return (self_->*Getter)(index_); }
    // `static_cast<TDerived*>(property)` for pointer-valued properties.
    template <class P, class V = Value,
              std::enable_if_t<std::is_pointer<V>::value && std::is_pointer<P>::value && !std::is_same<P, V>::value, int> = 0>
    explicit operator P() const { return static_cast<P>((self_->*Getter)(index_)); }

        Item& operator=(const Value& value) {
            static_assert(Setter != nullptr, "read-only indexed property");
            if constexpr (Setter != nullptr) (self_->*Setter)(index_, value);
            return *this;
        }
        Item& operator=(const Item& other) { return *this = Value(other); }

    private:
        Class* self_;
        Index index_;
    };

    explicit IndexedProperty(Class* self) : self_(self) {}
    IndexedProperty(const IndexedProperty&) = delete;
    IndexedProperty& operator=(const IndexedProperty&) = delete;

    Item operator[](Index index) const { return Item(self_, index); }

private:
    Class* self_;
};

// Stores `value` in `field` and answers whether the field changed, for the
// setter pattern `if (SetIfChanged(enabled_, value)) updateTimer();`. A value
// equal to the field's leaves the field untouched (no assignment at all).
template <class T, class V>
bool SetIfChanged(T& field, V&& value) {
    if (field == value) return false;
    field = std::forward<V>(value);
    return true;
}

// Declares `Name` as a property of the enclosing class with the given accessors.
#define BRIM_PROPERTY(Name, Getter, Setter) Property<&Getter, &Setter> Name{this}
#define BRIM_READONLY(Name, Getter) ReadProperty<&Getter> Name{this}
#define BRIM_INDEXED(Name, Getter, Setter) IndexedProperty<&Getter, &Setter> Name{this}
#define BRIM_INDEXED_READONLY(Name, Getter) IndexedProperty<&Getter> Name{this}
