#include "FormCatalog.h"

#include "common/FormWindow.h"

namespace tokotoko {

FormCatalog::FormCatalog() = default;
FormCatalog::~FormCatalog() = default;

void FormCatalog::add(int entry, Factory factory) {
    m_factories[entry] = std::move(factory);
}

bool FormCatalog::has(int entry) const {
    return m_factories.count(entry) != 0;
}

FormWindow* FormCatalog::open(int entry) {
    FormWindow* form = instance(entry);
    if (!form) {
        const auto factory = m_factories.find(entry);
        if (factory == m_factories.end() || !factory->second)
            return nullptr;
        auto created = factory->second();
        if (!created)
            return nullptr;
        form = created.get();
        m_forms[entry] = std::move(created);
    }
    form->showForm();
    return form;
}

FormWindow* FormCatalog::instance(int entry) const {
    const auto it = m_forms.find(entry);
    return it == m_forms.end() ? nullptr : it->second.get();
}

} // namespace tokotoko
