// The one copy between a window's controls and its plain form struct: each control is bound
// once, as it is built, to the form field it shows, and Show and Read then copy every field.
// A field is named by a member pointer, a member array and an index, or any callable that
// takes the form (const or not) and returns the field.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "widgets/form_fields.h"

namespace velacor::widgets {

template <class Form>
class FormBinding {
  public:
    // A text field shows a string field.
    template <class Access>
    QLineEdit* Text(QLineEdit* edit, Access access) {
        m_show.push_back([edit, access](const Form& f) { SetEditText(edit, Field(access, f)); });
        m_read.push_back([edit, access](Form& f) { Field(access, f) = EditText(edit); });
        return edit;
    }
    // A drop-down list shows an int field: its list position (a position beyond the list
    // shows the first item).
    template <class Access>
    QComboBox* Index(QComboBox* box, Access access) {
        m_show.push_back([box, access](const Form& f) {
            const int index = Field(access, f);
            box->setCurrentIndex(index >= 0 && index < box->count() ? index : 0);
        });
        m_read.push_back([box, access](Form& f) { Field(access, f) = box->currentIndex(); });
        return box;
    }
    // A check box shows a bool field.
    template <class Access>
    QCheckBox* Tick(QCheckBox* box, Access access) {
        m_show.push_back([box, access](const Form& f) { box->setChecked(Field(access, f)); });
        m_read.push_back([box, access](Form& f) { Field(access, f) = box->isChecked(); });
        return box;
    }

    void Show(const Form& form) const {
        for (const auto& show : m_show)
            show(form);
    }
    // The form as the controls hold it; fields without a control keep what `form` held.
    Form Read(Form form = {}) const {
        for (const auto& read : m_read)
            read(form);
        return form;
    }

  private:
    template <class Access, class F>
    static decltype(auto) Field(const Access& access, F& form) {
        if constexpr (std::is_member_object_pointer_v<Access>)
            return (form.*access);
        else
            return access(form);
    }

    std::vector<std::function<void(const Form&)>> m_show;
    std::vector<std::function<void(Form&)>> m_read;
};

// Element `i` of a member array, as a field of a FormBinding.
template <class Form, class T, std::size_t N>
auto Element(std::array<T, N> Form::*array, std::size_t i) {
    return [ array, i ](auto& form) -> auto& {
        return (form.*array).at(i);
    };
}

}  // namespace velacor::widgets
