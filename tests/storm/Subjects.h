#pragma once

// What a storm knows about each window it drives: how its clock ticks, what the learner is
// asked to type, which texts it may hand to the clipboard or the voice, and the invariants
// that must hold after every step (counts in 16 bits, labels that agree with the counts, a
// practice text that describes one file...). Only the windows' public accessors and the texts
// of their controls are read.

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <random>

namespace tokotoko {
class FormWindow;
}

namespace tokotoko::storm {

// A seeded generator whose draws are the same on every machine.
class Random {
public:
    explicit Random(quint64 seed)
        : m_engine(seed) {}
    // 0 to n - 1.
    int below(int n) { return n <= 0 ? 0 : static_cast<int>(m_engine() % static_cast<quint64>(n)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    // True in `perMille` of 1000 draws.
    bool chance(int perMille) { return below(1000) < perMille; }
    // 0 <= r < 1, in single precision, as the platform clock's draws are.
    float unit() { return static_cast<float>(m_engine() >> 40) / 16777216.0f; }
    template <typename List> const auto& pick(const List& list) {
        return list[below(static_cast<int>(list.size()))];
    }

private:
    std::mt19937_64 m_engine;
};

enum class Channel { Clipboard, Speech };

// The lines each practice file gives when read (empty for a refused file), by path.
using FileLines = QHash<QString, QStringList>;

class Subject {
public:
    explicit Subject(FormWindow& form)
        : m_form(form) {}
    virtual ~Subject() = default;
    Subject(const Subject&) = delete;
    Subject& operator=(const Subject&) = delete;

    FormWindow& form() const { return m_form; }
    // One second has passed: what the window's interval timer does, if it is on.
    virtual void tick() {}
    // Text the learner is asked to type now (to be answered right), and whether Enter hands it
    // in.
    virtual QString asked(Random&) const { return {}; }
    virtual bool handsInWithEnter() const { return false; }
    // Whether the window could have handed this text on through this channel.
    virtual bool mayPresent(Channel channel, const QString& text) const = 0;
    // Before each step: what the checks compare with.
    virtual void remember() {}
    // After each step: every broken invariant, described.
    virtual void check(QStringList& problems) = 0;

protected:
    // A control of the window as it is loaded now (never one left over from an earlier load).
    template <typename T> T* control(const char* name) const;
    bool timerOn() const;
    QString labelText(const char* name) const;

private:
    FormWindow& m_form;
};

// The subject for any of the program's windows; nullptr for an unknown window. `files` gives
// the lines of the practice files the storm offers (the text windows' store is checked
// against it).
std::unique_ptr<Subject> makeSubject(FormWindow& form, const FileLines& files);

// The number in a count text such as "× 12" after `prefix`; nullopt if the text is not that.
std::optional<int> countIn(const QString& text, const QString& prefix);

} // namespace tokotoko::storm
