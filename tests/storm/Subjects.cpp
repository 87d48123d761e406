#include "Subjects.h"

#include "app/frmEntrance.h"
#include "common/FormWindow.h"
#include "fingers/FingerTable.h"
#include "fingers/KeyGame.h"
#include "fingers/frmYubiren.h"
#include "keyguide/KeyNameTable.h"
#include "keyguide/frmKeyGuide.h"
#include "lines/LinePractice.h"
#include "text/TextWindowKit.h"
#include "timed/TimedChallenge.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSet>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace tokotoko::storm {

namespace {

constexpr int kCountMax = std::numeric_limits<qint16>::max();

QString describe(const QString& text) {
    QString shown = text.left(60);
    shown.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    shown.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return QLatin1Char('"') + shown +
           (text.size() > 60 ? QStringLiteral("...\"") : QStringLiteral("\""));
}

void expectEqual(QStringList& problems, const char* what, const QString& actual,
                 const QString& expected) {
    if (actual != expected)
        problems << QStringLiteral("%1 shows %2, expected %3")
                        .arg(QLatin1String(what), describe(actual), describe(expected));
}

void expectCount(QStringList& problems, const char* what, int count, int high = kCountMax) {
    if (count < 0 || count > high)
        problems << QStringLiteral("%1 is %2, outside 0 to %3")
                        .arg(QLatin1String(what))
                        .arg(count)
                        .arg(high);
}

// "○ 12" as the line windows and the timed challenges write their counts.
QString markAndCount(const QString& mark, int count) {
    return mark + (count >= 0 ? QStringLiteral(" ") : QString()) + QString::number(count);
}

bool isTimeText(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^[0-5][0-9]分[0-5][0-9]秒$"));
    return pattern.match(text).hasMatch();
}

} // namespace

std::optional<int> countIn(const QString& text, const QString& prefix) {
    if (!text.startsWith(prefix))
        return std::nullopt;
    bool ok = false;
    const int number = text.mid(prefix.size()).trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return number;
}

template <typename T> T* Subject::control(const char* name) const {
    QWidget* client = m_form.client();
    return client ? client->findChild<T*>(QLatin1String(name)) : nullptr;
}

bool Subject::timerOn() const {
    auto* timer = control<QTimer>("Timer1");
    return timer && timer->isActive();
}

QString Subject::labelText(const char* name) const {
    auto* label = control<QLabel>(name);
    return label ? label->text() : QString();
}

namespace {

// ---------------------------------------------------------------------------------------------
class EntranceSubject final : public Subject {
public:
    explicit EntranceSubject(frmEntrance& form)
        : Subject(form)
        , m_form(form) {
        for (int i = 0; i < frmEntrance::kEntryCount; ++i)
            m_entryTexts << frmEntrance::entryText(i);
    }

    void tick() override {
        // 500 ms: two turns of the title a second.
        for (int i = 0; i < 2 && timerOn(); ++i)
            m_form.Timer1_Timer();
    }

    bool mayPresent(Channel channel, const QString& text) const override {
        return channel == Channel::Clipboard && m_entryTexts.contains(text);
    }

    void check(QStringList& problems) override {
        if (!m_form.isLoaded())
            return;
        const QString title = labelText("lblTitle");
        const QString initial = frmEntrance::kInitialTitle;
        if (title.size() != initial.size() || !(initial + initial).contains(title))
            problems << QStringLiteral("the title %1 is no turn of %2")
                            .arg(describe(title), describe(initial));
        for (int i = 0; i < frmEntrance::kEntryCount; ++i) {
            auto* entry = control<QPlainTextEdit>(frmEntrance::entryName(i).toLatin1().constData());
            QString expected = m_entryTexts[i];
            expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            if (!entry || entry->toPlainText() != expected)
                problems << QStringLiteral("entry %1 no longer shows its text").arg(i + 1);
        }
    }

private:
    frmEntrance& m_form;
    QStringList m_entryTexts;
};

// ---------------------------------------------------------------------------------------------
class KeyGuideSubject final : public Subject {
public:
    explicit KeyGuideSubject(frmKeyGuide& form)
        : Subject(form) {
        for (int keyCode = 0; keyCode <= 255; ++keyCode) {
            for (const auto group : {KeyNameTable::Group::Plain, KeyNameTable::Group::Shifted,
                                     KeyNameTable::Group::Modifier}) {
                if (const auto entry = KeyNameTable::find(group, keyCode)) {
                    m_names.insert(entry->name);
                    if (entry->reading)
                        m_readings.insert(*entry->reading);
                }
            }
        }
        m_names.insert(QString());
        m_readings.insert(QString());
    }

    bool mayPresent(Channel channel, const QString& text) const override {
        return channel == Channel::Clipboard &&
               (m_names.contains(text) || m_readings.contains(text));
    }

    void check(QStringList& problems) override {
        if (!form().isLoaded())
            return;
        const QString name = labelText("lblKey");
        const QString reading = labelText("lblYomi");
        if (!m_names.contains(name))
            problems << QStringLiteral("lblKey shows %1, no key name").arg(describe(name));
        if (!m_readings.contains(reading))
            problems << QStringLiteral("lblYomi shows %1, no key reading").arg(describe(reading));
        expectEqual(problems, "Label2", labelText("Label2"), QStringLiteral("Alt＋F4で終了"));
    }

private:
    QSet<QString> m_names;
    QSet<QString> m_readings;
};

// ---------------------------------------------------------------------------------------------
class GuideDrillSubject final : public Subject {
public:
    explicit GuideDrillSubject(frmYubiren& form)
        : Subject(form) {
        for (int n = 1; n <= fingers::kGuideCount; ++n)
            m_entries << fingers::guideEntry(n);
    }

    QString asked(Random&) const override { return labelText("lblKey"); }

    bool mayPresent(Channel channel, const QString& text) const override {
        if (channel != Channel::Clipboard)
            return false;
        for (const fingers::GuideEntry& entry : m_entries) {
            if (text == entry.key || text == entry.reading)
                return true;
        }
        return false;
    }

    void check(QStringList& problems) override {
        if (!form().isLoaded())
            return;
        const QString key = labelText("lblKey");
        for (const fingers::GuideEntry& entry : m_entries) {
            if (entry.key == key) {
                expectEqual(problems, "lblYubiHyoji", labelText("lblYubiHyoji"), entry.fingerLabel);
                expectEqual(problems, "lblYubi", labelText("lblYubi"), entry.reading);
                return;
            }
        }
        problems
            << QStringLiteral("lblKey shows %1, no key of the guide sequence").arg(describe(key));
    }

private:
    QList<fingers::GuideEntry> m_entries;
};

// ---------------------------------------------------------------------------------------------
class KeyGameSubject final : public Subject {
public:
    explicit KeyGameSubject(KeyGame& form)
        : Subject(form)
        , m_form(form) {
        const fingers::KeySet set = form.variant().keySet;
        for (int n = 1; n <= fingers::keySetSize(set); ++n)
            m_entries << fingers::challengeEntry(set, n);
    }

    void tick() override {
        if (timerOn())
            m_form.Timer1_Timer();
    }

    QString asked(Random&) const override {
        return m_form.gameRunning() ? labelText("lblKey") : QStringLiteral(" ");
    }

    bool mayPresent(Channel channel, const QString& text) const override {
        if (channel != Channel::Clipboard)
            return false;
        // The empty key after a game, and the score at its end.
        if (text.isEmpty() || (m_form.isLoaded() && text == labelText("lblTokuten")))
            return true;
        for (const fingers::ChallengeEntry& entry : m_entries) {
            if (text == entry.key)
                return true;
        }
        return false;
    }

    void remember() override {
        m_client = m_form.client();
        m_wasOver = isOver();
        m_hits = m_form.hits();
        m_running = m_form.gameRunning();
    }

    void check(QStringList& problems) override {
        expectCount(problems, "hits", m_form.hits());
        expectCount(problems, "misses", m_form.misses());
        expectCount(problems, "seconds left", m_form.secondsLeft(), m_form.variant().gameSeconds);
        if (!m_form.isLoaded())
            return;
        expectEqual(problems, "lblMaru", labelText("lblMaru"),
                    countText(QStringLiteral("○"), m_form.hits()));
        expectEqual(problems, "lblBatsu", labelText("lblBatsu"),
                    countText(QStringLiteral("×"), m_form.misses()));
        expectEqual(problems, "lblTime", labelText("lblTime"),
                    QStringLiteral("TIME ") + QString::number(m_form.secondsLeft()));
        checkKey(problems);

        const bool sameLoad = m_client == m_form.client();
        if (sameLoad && m_running && isOver())
            m_score = m_form.hits() - m_form.misses(); // the game ended in this step
        auto* score = control<QLabel>("lblTokuten");
        if (score && score->isVisibleTo(&m_form))
            expectEqual(problems, "lblTokuten", score->text(),
                        QStringLiteral("得点 ") + QString::number(m_score));
        // After the end every character is a miss: nothing more is hit.
        if (sameLoad && m_wasOver && isOver() && m_form.hits() != m_hits)
            problems << QStringLiteral("hits went from %1 to %2 after the game had ended")
                            .arg(m_hits)
                            .arg(m_form.hits());
    }

private:
    bool isOver() const {
        return m_form.isLoaded() && !m_form.gameRunning() && m_form.secondsLeft() == 0;
    }

    // " 12" after the mark, or "-3".
    static QString countText(const QString& mark, int count) {
        return mark + (count >= 0 ? QStringLiteral(" ") : QString()) + QString::number(count);
    }

    void checkKey(QStringList& problems) const {
        const QString key = labelText("lblKey");
        const QString finger = labelText("lblYubi");
        if (isOver()) {
            expectEqual(problems, "lblKey after the game", key, QString());
            expectEqual(problems, "lblYubi after the game", finger,
                        QStringLiteral("Spaceでスタート"));
            return;
        }
        for (const fingers::ChallengeEntry& entry : m_entries) {
            if (entry.key == key) {
                expectEqual(problems, "lblYubi", finger, entry.fingerLabel);
                return;
            }
        }
        problems << QStringLiteral("lblKey shows %1, no key of the game").arg(describe(key));
    }

    KeyGame& m_form;
    QList<fingers::ChallengeEntry> m_entries;
    const QWidget* m_client = nullptr;
    bool m_wasOver = false;
    bool m_running = false;
    int m_hits = 0;
    int m_score = 0;
};

// ---------------------------------------------------------------------------------------------
// What the two kinds of text window share: the practice text describes one file, the display
// shows one of its lines, and presented texts are lines of it.
class TextSubject : public Subject {
public:
    TextSubject(FormWindow& form, TextLanguage language, const FileLines& files)
        : Subject(form)
        , m_language(language)
        , m_files(files) {}

protected:
    Channel textChannel() const {
        return m_language == TextLanguage::Japanese ? Channel::Clipboard : Channel::Speech;
    }

    bool isLineOf(const PracticeText& text, const QString& candidate) const {
        const int last = std::clamp<int>(text.lastLineIndex, 0, PracticeText::maxLineIndex);
        for (int i = 0; i <= last; ++i) {
            if (text.lineSlots[static_cast<std::size_t>(i)] == candidate)
                return true;
        }
        return false;
    }

    QString display() const {
        auto* box = control<DisplayBox>("txtHyoji");
        return box ? box->text() : QString();
    }

    void checkStore(QStringList& problems, const PracticeText& text, int highestPosition) const {
        expectCount(problems, "linesRead", text.linesRead, PracticeText::slotCount);
        expectCount(problems, "lastLineIndex", text.lastLineIndex, PracticeText::maxLineIndex);
        expectCount(problems, "linePosition", text.linePosition, highestPosition);
        if (!text.hasText())
            return;
        if (text.linesRead != text.lastLineIndex + 1)
            problems << QStringLiteral("linesRead %1 does not go with lastLineIndex %2")
                            .arg(text.linesRead)
                            .arg(text.lastLineIndex);
        const auto file = m_files.constFind(text.textFileName);
        if (file == m_files.constEnd()) {
            problems
                << QStringLiteral("the text names %1, a file never offered").arg(text.textFileName);
            return;
        }
        bool same = file->size() == text.linesRead;
        for (int i = 0; same && i < file->size(); ++i)
            same = text.lineSlots[static_cast<std::size_t>(i)] == file->at(i);
        if (!same)
            problems
                << QStringLiteral("the stored lines are not those of %1").arg(text.textFileName);
    }

    void checkDisplay(QStringList& problems, const PracticeText& text,
                      const QString& endText) const {
        const QString shown = display();
        if (!shown.isEmpty() && shown != endText && !isLineOf(text, shown))
            problems
                << QStringLiteral("txtHyoji shows %1, no line of the text").arg(describe(shown));
    }

private:
    TextLanguage m_language;
    const FileLines& m_files;
};

// ---------------------------------------------------------------------------------------------
class LinePracticeSubject final : public TextSubject {
public:
    LinePracticeSubject(LinePractice& form, const FileLines& files)
        : TextSubject(form, form.variant().language, files)
        , m_form(form) {}

    void tick() override {
        if (timerOn())
            m_form.Timer1_Timer();
    }

    QString asked(Random& random) const override {
        const PracticeText& text = m_form.practiceText();
        // Now and then the last line, which ends the run wherever it stands.
        if (text.hasText() && random.chance(50))
            return text.lastLine();
        return display();
    }
    bool handsInWithEnter() const override { return true; }

    bool mayPresent(Channel channel, const QString& text) const override {
        // The elapsed time goes to the clipboard at the end of a run, in both languages.
        if (channel == Channel::Clipboard && isTimeText(text))
            return true;
        if (channel != textChannel())
            return false;
        return text.isEmpty() || text == m_form.variant().endText ||
               isLineOf(m_form.practiceText(), text);
    }

    void remember() override {
        m_client = m_form.client();
        m_right = m_form.rightCount();
        m_ended = m_form.isLoaded() && display() == m_form.variant().endText;
    }

    void check(QStringList& problems) override {
        const PracticeText& text = m_form.practiceText();
        const int right = m_form.rightCount();
        const int wrong = m_form.wrongCount();
        expectCount(problems, "right lines", right);
        expectCount(problems, "wrong lines", wrong);
        checkStore(problems, text, std::max(text.linesRead - 1, 0));
        if (!m_form.isLoaded())
            return;
        expectEqual(problems, "lblBatsu", labelText("lblBatsu"),
                    markAndCount(QStringLiteral("×"), wrong));
        checkRightLabel(problems, right);
        const QString time = labelText("lblTime");
        if (!isTimeText(time))
            problems << QStringLiteral("lblTime shows %1, no time").arg(describe(time));
        const QString left = labelText("lblGyosu");
        if (!left.isEmpty() && !countIn(left, QStringLiteral("練習数")))
            problems << QStringLiteral("lblGyosu shows %1").arg(describe(left));
        checkDisplay(problems, text, m_form.variant().endText);
    }

private:
    // The starting Enter is no line: during a run the label shows one less than the count, at
    // the end of a run the count itself.
    void checkRightLabel(QStringList& problems, int right) const {
        const QString label = labelText("lblMaru");
        const auto shown = countIn(label, QStringLiteral("○"));
        if (!shown || (*shown != std::max(right - 1, 0) && *shown != right)) {
            problems << QStringLiteral("lblMaru shows %1 with %2 right Enters")
                            .arg(describe(label))
                            .arg(right);
            return;
        }
        if (m_client != m_form.client())
            return;
        if (right == m_right + 1 && *shown != right - 1)
            problems << QStringLiteral("lblMaru shows %1 just after right Enter %2")
                            .arg(describe(label))
                            .arg(right);
        // The end of a run counts the last line too.
        if (!m_ended && display() == m_form.variant().endText && *shown != right)
            problems << QStringLiteral("lblMaru shows %1 at the end of a run of %2 right Enters")
                            .arg(describe(label))
                            .arg(right);
    }

    LinePractice& m_form;
    const QWidget* m_client = nullptr;
    int m_right = 0;
    bool m_ended = false;
};

// ---------------------------------------------------------------------------------------------
class TimedSubject final : public TextSubject {
public:
    TimedSubject(TimedChallenge& form, const FileLines& files)
        : TextSubject(form, form.variant().language, files)
        , m_form(form) {}

    void tick() override {
        if (timerOn())
            m_form.Timer1_Timer();
    }

    QString asked(Random&) const override { return display(); }
    bool handsInWithEnter() const override { return true; }

    bool mayPresent(Channel channel, const QString& text) const override {
        if (channel != textChannel())
            return false;
        if (m_form.isLoaded() && text == labelText("lblTokuten"))
            return true;
        return text.isEmpty() || text == m_form.variant().endText ||
               isLineOf(m_form.practiceText(), text);
    }

    void remember() override {
        m_client = m_form.client();
        m_wasOver = isOver();
        m_secondsLeft = m_form.secondsLeft();
        m_right = m_form.rightCount();
        m_wrong = m_form.wrongCount();
    }

    void check(QStringList& problems) override {
        const PracticeText& text = m_form.practiceText();
        const int right = m_form.rightCount();
        const int wrong = m_form.wrongCount();
        const int limit = m_form.timeLimit();
        expectCount(problems, "right Enters", right);
        expectCount(problems, "wrong lines", wrong);
        if (std::find(kTimeLimits.begin(), kTimeLimits.end(), limit) == kTimeLimits.end())
            problems << QStringLiteral("the time limit is %1 s").arg(limit);
        expectCount(problems, "seconds left", m_form.secondsLeft(), limit);
        checkStore(problems, text, std::max<int>(text.lastLineIndex, 1));
        if (!m_form.isLoaded())
            return;
        expectEqual(problems, "lblMaru", labelText("lblMaru"),
                    markAndCount(QStringLiteral("○"), rightLines(static_cast<qint16>(right))));
        expectEqual(problems, "lblBatsu", labelText("lblBatsu"),
                    markAndCount(QStringLiteral("×"), wrong));
        expectEqual(problems, "lblTime", labelText("lblTime"),
                    QStringLiteral("TIME ") + QString::number(m_form.secondsLeft()));
        checkDisplay(problems, text, m_form.variant().endText);

        const bool sameLoad = m_client == m_form.client();
        if (sameLoad && m_secondsLeft > 0 && m_form.secondsLeft() == 0)
            m_score = rightLines(static_cast<qint16>(right)) - wrong; // the game ended now
        auto* score = control<QLabel>("lblTokuten");
        if (score && score->isVisibleTo(&m_form))
            expectEqual(problems, "lblTokuten", score->text(),
                        m_form.variant().scoreWord + QString::number(m_score));
        // After the end Enter judges nothing.
        if (sameLoad && m_wasOver && isOver() && (right != m_right || wrong != m_wrong))
            problems << QStringLiteral(
                            "the counts went from %1/%2 to %3/%4 after the game had ended")
                            .arg(m_right)
                            .arg(m_wrong)
                            .arg(right)
                            .arg(wrong);
    }

private:
    bool isOver() const { return m_form.isLoaded() && m_form.secondsLeft() == 0; }

    TimedChallenge& m_form;
    const QWidget* m_client = nullptr;
    bool m_wasOver = false;
    int m_secondsLeft = 0;
    int m_right = 0;
    int m_wrong = 0;
    int m_score = 0;
};

} // namespace

std::unique_ptr<Subject> makeSubject(FormWindow& form, const FileLines& files) {
    if (auto* entrance = qobject_cast<frmEntrance*>(&form))
        return std::make_unique<EntranceSubject>(*entrance);
    if (auto* guide = qobject_cast<frmKeyGuide*>(&form))
        return std::make_unique<KeyGuideSubject>(*guide);
    if (auto* drill = qobject_cast<frmYubiren*>(&form))
        return std::make_unique<GuideDrillSubject>(*drill);
    if (auto* game = qobject_cast<KeyGame*>(&form))
        return std::make_unique<KeyGameSubject>(*game);
    if (auto* lines = qobject_cast<LinePractice*>(&form))
        return std::make_unique<LinePracticeSubject>(*lines, files);
    if (auto* timed = qobject_cast<TimedChallenge*>(&form))
        return std::make_unique<TimedSubject>(*timed, files);
    return nullptr;
}

} // namespace tokotoko::storm
