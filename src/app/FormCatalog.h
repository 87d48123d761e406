#pragma once

#include <functional>
#include <map>
#include <memory>

namespace tokotoko {

class FormWindow;

// The exercise windows behind the entrance's entries: one instance per window, created the
// first time it is opened and kept for the whole run.
class FormCatalog {
public:
    using Factory = std::function<std::unique_ptr<FormWindow>()>;

    FormCatalog();
    ~FormCatalog();
    FormCatalog(const FormCatalog&) = delete;
    FormCatalog& operator=(const FormCatalog&) = delete;

    void add(int entry, Factory factory);
    bool has(int entry) const;
    // Creates the window on first use and shows it (loading it if it is unloaded), or brings
    // it forward if it is open. Returns nullptr, doing nothing, for an entry without a window.
    FormWindow* open(int entry);
    // The window of an entry if it was ever created.
    FormWindow* instance(int entry) const;

private:
    std::map<int, Factory> m_factories;
    std::map<int, std::unique_ptr<FormWindow>> m_forms;
};

} // namespace tokotoko
