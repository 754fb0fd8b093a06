// Every field of a wire record by name, from the record's one field list (byte_io.h): the
// report, the editors' read-back checks and the sensor configuration files name fields with
// it. An array field gives one name per element ("ledCurrentUa[2]"), a nested record its
// fields under its own name ("inlet[1].crmValue").
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "base/byte_io.h"

namespace velacor::base {

enum class FieldKind { Unsigned, Signed, Float };

struct FieldInfo {
    std::string name;
    std::size_t offset = 0;  // bytes from the record's start
    std::size_t size = 0;
    FieldKind kind = FieldKind::Unsigned;
};

namespace detail {

// The next name of a field list, up to its next comma, without the "r." before it.
constexpr std::string_view NextFieldName(std::string_view& list) {
    const std::size_t comma = list.find(',');
    std::string_view item = list.substr(0, comma);
    list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
    const std::size_t dot = item.find('.');
    if (dot != std::string_view::npos)
        item.remove_prefix(dot + 1);
    while (!item.empty() && (item.front() == ' ' || item.front() == '\n'))
        item.remove_prefix(1);
    while (!item.empty() && (item.back() == ' ' || item.back() == '\n'))
        item.remove_suffix(1);
    return item;
}

template <class Visit>
class NamedFieldWalker {
  public:
    NamedFieldWalker(Visit& visit, std::string prefix, std::size_t& offset)
        : m_visit(visit), m_prefix(std::move(prefix)), m_offset(offset) {}

    template <class... T>
    void operator()(FieldNames names, const T&... fields) {
        std::string_view list = names.list;
        (Field(m_prefix + std::string(NextFieldName(list)), fields), ...);
    }

  private:
    template <class T>
    void Field(const std::string& name, const T& value) {
        static_assert(std::is_arithmetic_v<T> && sizeof(T) <= 4);
        const FieldKind kind = std::is_floating_point_v<T> ? FieldKind::Float
                               : std::is_signed_v<T>       ? FieldKind::Signed
                                                           : FieldKind::Unsigned;
        m_visit(FieldInfo{name, m_offset, sizeof(T), kind}, value);
        m_offset += sizeof(T);
    }
    template <class T, std::size_t N>
    void Field(const std::string& name, const std::array<T, N>& a) {
        for (std::size_t i = 0; i < N; ++i)
            Field(name + "[" + std::to_string(i) + "]", a[i]);
    }
    template <NestedRecord T>
    void Field(const std::string& name, const T& r) {
        NamedFieldWalker inner(m_visit, name + ".", m_offset);
        T::Fields(inner, r);
    }

    Visit& m_visit;
    std::string m_prefix;
    std::size_t& m_offset;
};

}  // namespace detail

// Calls visit(const FieldInfo&, value) for every field of `record` in wire order; `value` has
// the field's own arithmetic type.
template <WireRecord R, class Visit>
void VisitFields(const R& record, Visit&& visit) {
    std::size_t offset = 0;
    detail::NamedFieldWalker walker(visit, std::string{}, offset);
    R::Fields(walker, record);
}

// The names, offsets and sizes of R's fields, in wire order.
template <WireRecord R>
std::vector<FieldInfo> FieldList() {
    std::vector<FieldInfo> fields;
    VisitFields(R{}, [&fields](const FieldInfo& info, auto) { fields.push_back(info); });
    return fields;
}

}  // namespace velacor::base
