// A value of the plug-in's state as a drive recording keeps it: its name, how
// the folder that owns the state reads and sets it, and the values it can
// take, which a value read back must keep to (a gear past the last would
// index past the gear table). Each folder lists its own fields; the plug-in
// floor puts the lists together.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
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

// A member of a state that a number stands for: a flag, 0 or 1; a choice from
// a list, 0 to the last; a handle or a key code, any number.
template <auto& state, auto member>
constexpr StateField stateField(std::string_view name, std::int32_t lowest, std::int32_t highest) {
    using Value = std::remove_reference_t<decltype(state.*member)>;
    return {name, [] { return static_cast<std::int32_t>(state.*member); },
            [](std::int32_t value) { state.*member = static_cast<Value>(value); }, lowest, highest};
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
    return []<std::size_t... index>(std::index_sequence<index...>) {
        return std::array<StateField, sizeof...(index)>{StateField{
            std::string_view(elementName<arrayName, index>.data(),
                             elementName<arrayName, index>.size()),
            [] { return static_cast<std::int32_t>((state.*member)[index]); },
            [](std::int32_t value) {
                (state.*member)[index] =
                    static_cast<std::remove_reference_t<decltype((state.*member)[index])>>(value);
            },
            INT32_MIN, INT32_MAX}...};
    }
    (std::make_index_sequence<std::tuple_size_v<Array>>());
}

// Lists of fields one after the other.
template <std::size_t... sizes>
constexpr auto joinedFields(const std::array<StateField, sizes>&... lists) {
    std::array<StateField, (sizes + ...)> joined{};
    std::size_t at = 0;
    ((std::copy(lists.begin(), lists.end(), joined.begin() + at), at += lists.size()), ...);
    return joined;
}
