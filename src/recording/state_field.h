// A value of the plug-in's state as a drive recording keeps it: its name, how
// the folder that owns the state reads and sets it, and the values it can
// take, which a value read back must keep to (a gear past the last would
// index past the gear table). Each folder lists its own fields; the plug-in
// floor puts the lists together.
#pragma once

#include <array>
#include <bit>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

struct StateField {
    std::string_view name;
    std::int32_t (*get)();
    void (*set)(std::int32_t value);
    std::int32_t lowest;
    std::int32_t highest;
};

// How a value of a state is kept as a number: a number, a flag or an enum as
// itself; a type of the state's own through a specialisation of this beside
// the state's fields.
template <typename Value>
struct RecordedAs {
    static std::int32_t number(Value value) { return static_cast<std::int32_t>(value); }
    static Value value(std::int32_t number) { return static_cast<Value>(number); }
};

// A bitset of up to 32, as the number of its bits, bit 0 the lowest.
template <std::size_t bits>
requires(bits <= 32) struct RecordedAs<std::bitset<bits>> {
    static std::int32_t number(const std::bitset<bits>& value) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value.to_ulong()));
    }
    static std::bitset<bits> value(std::int32_t number) {
        return std::bitset<bits>(static_cast<std::uint32_t>(number));
    }
};

// A member of a state that a number stands for: a flag, 0 or 1; a choice from
// a list, 0 to the last; a handle or a key code, any number.
template <auto& state, auto member>
constexpr StateField stateField(std::string_view name, std::int32_t lowest, std::int32_t highest) {
    using Recorded = RecordedAs<std::remove_reference_t<decltype(state.*member)>>;
    return {name, [] { return Recorded::number(state.*member); },
            [](std::int32_t value) { state.*member = Recorded::value(value); }, lowest, highest};
}

template <auto& state, auto member>
constexpr StateField flagField(std::string_view name) {
    return stateField<state, member>(name, 0, 1);
}

template <auto& state, auto member>
constexpr StateField choiceField(std::string_view name, std::int32_t last) {
    return stateField<state, member>(name, 0, last);
}

template <auto& state, auto member>
constexpr StateField numberField(std::string_view name) {
    return stateField<state, member>(name, INT32_MIN, INT32_MAX);
}

// A float travels as its bits, which order as positive floats do.
template <auto& state, auto member>
constexpr StateField floatField(std::string_view name, float lowest, float highest) {
    return {name, [] { return std::bit_cast<std::int32_t>(state.*member); },
            [](std::int32_t value) { state.*member = std::bit_cast<float>(value); },
            std::bit_cast<std::int32_t>(lowest), std::bit_cast<std::int32_t>(highest)};
}

// The name of an array's element: the array's and the element's number.
template <const auto& arrayName, std::size_t index>
constexpr auto elementName = [] {
    constexpr std::size_t length = std::size(arrayName) - 1;
    constexpr std::size_t digits = index < 10 ? 1 : index < 100 ? 2 : 3;
    static_assert(index < 1000);
    std::array<char, length + digits> name{};
    std::copy(arrayName, arrayName + length, name.begin());
    for (std::size_t at = name.size(), rest = index; at > length; rest /= 10) {
        name[--at] = static_cast<char>('0' + rest % 10);
    }
    return name;
}();

// Each element of an array member, of any value, named arrayName0, arrayName1
// and so on: as many fields as the array has elements.
template <auto& state, auto member, const auto& arrayName>
constexpr auto elementFields() {
    using Array = std::remove_reference_t<decltype(state.*member)>;
    using Recorded = RecordedAs<std::remove_cvref_t<decltype((state.*member)[0])>>;
    return []<std::size_t... index>(std::index_sequence<index...>) {
        return std::array<StateField, sizeof...(index)>{
            StateField{std::string_view(elementName<arrayName, index>.data(),
                                        elementName<arrayName, index>.size()),
                       [] { return Recorded::number((state.*member)[index]); },
                       [](std::int32_t value) { (state.*member)[index] = Recorded::value(value); },
                       INT32_MIN, INT32_MAX}...};
    }
    (std::make_index_sequence<std::tuple_size_v<Array>>());
}

// A bitset, or an array of bytes, kept as numbers of 32 bits each, named
// arrayName0, arrayName1 and so on: its bytes in order, so that its first
// bits or bytes are the lowest of the first number.
template <auto& state, auto member, const auto& arrayName>
constexpr auto wordFields() {
    using Packed = std::remove_reference_t<decltype(state.*member)>;
    static_assert(std::is_trivially_copyable_v<Packed> && sizeof(Packed) % 4 == 0);
    return []<std::size_t... word>(std::index_sequence<word...>) {
        return std::array<StateField, sizeof...(word)>{StateField{
            std::string_view(elementName<arrayName, word>.data(),
                             elementName<arrayName, word>.size()),
            [] {
                std::int32_t number = 0;
                std::memcpy(&number, reinterpret_cast<const char*>(&(state.*member)) + 4 * word, 4);
                return number;
            },
            [](std::int32_t number) {
                std::memcpy(reinterpret_cast<char*>(&(state.*member)) + 4 * word, &number, 4);
            },
            INT32_MIN, INT32_MAX}...};
    }
    (std::make_index_sequence<sizeof(Packed) / 4>());
}
// Both builds lay a bitset out so, bit 0 the lowest of its first byte.
static_assert(std::endian::native == std::endian::little);
static_assert(std::bit_cast<std::array<std::uint32_t, 4>>(std::bitset<128>(0x2'0000'0001)) ==
              std::array<std::uint32_t, 4>{1, 2, 0, 0});

// Lists of fields one after the other.
template <std::size_t... sizes>
constexpr auto joinedFields(const std::array<StateField, sizes>&... lists) {
    std::array<StateField, (sizes + ...)> joined{};
    std::size_t at = 0;
    ((std::copy(lists.begin(), lists.end(), joined.begin() + at), at += lists.size()), ...);
    return joined;
}
