#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>
#include <functional>

#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "qtkit/SjLineEdit.h"
#include "ui/Widgets.h"

namespace {

const QString kEmoji = QString::fromUtf8("\xF0\x9F\x98\x80");  // no CP932 form

TEST(SjText, AnEditIsCutToTheBytesOfItsFieldAtACharacterBoundary) {
  struct Case {
    const char* before;
    const char* after;
    int max;
    const char* want;
    int cursor;
    bool cut;
  } cases[] = {
      {"", "abc", 0, "abc", 3, false},            // no limit
      {"ab", "abcd", 4, "abcd", 4, false},        // exactly full
      {"", "日本語", 5, "日本", 2, true},         // 6 bytes into 5: a whole kanji goes
      {"ab", "a日本b", 5, "a日b", 2, true},       // pasted in the middle
      {"日記", "日記ｱｲｳ", 6, "日記ｱｲ", 4, true},  // half-width kana count one byte
      {"abc", "ab", 2, "ab", 2, false},           // deleting is never refused
      {"", "a\nb", 4, "a\nb", 3, false},          // a line break is CR LF: 4 bytes
      {"", "a\nbc", 4, "a\nb", 3, true},
  };
  for (const auto& c : cases) {
    sjtext::Fit fit = sjtext::FitEdit(QString::fromUtf8(c.before), QString::fromUtf8(c.after), c.max);
    EXPECT_EQ(QString::fromUtf8(c.want), fit.text) << c.after;
    EXPECT_EQ(c.cursor, fit.cursor) << c.after;
    EXPECT_EQ(c.cut, fit.cut) << c.after;
    EXPECT_TRUE(fit.bad.isEmpty());
  }
}

TEST(SjText, AnInsertionWithAnUnstorableCharacterIsRefusedWhole) {
  sjtext::Fit fit = sjtext::FitEdit(QString::fromUtf8("日記"),
                                    QString::fromUtf8("日") + kEmoji + "x" + QString::fromUtf8("記"), 0);
  EXPECT_EQ(QString::fromUtf8("日記"), fit.text);
  EXPECT_EQ(1, fit.cursor);
  EXPECT_EQ(kEmoji, fit.bad);
  EXPECT_EQ(4 + 1, sjtext::Bytes(QString::fromUtf8("日記a")));
}

TEST(SjLineEdit, TypingAndPastingFollowTheRulesAndNameTheRefusedCharacter) {
  ScriptedPrompter prompter;
  SjLineEdit edit;
  edit.SetPrompter(&prompter);
  edit.SetMaxBytes(6);
  edit.setFocus();
  QTest::keyClicks(&edit, "ab");
  edit.insert(QString::fromUtf8("日本語"));  // a paste: only what fits
  EXPECT_EQ(QString::fromUtf8("ab日本"), edit.text());
  EXPECT_EQ("ab日本"_sj, edit.TextSj());
  EXPECT_TRUE(prompter.Shown().empty());
  edit.setText("a");
  edit.end(false);
  edit.insert(kEmoji);
  EXPECT_EQ(QStringLiteral("a"), edit.text());
  QCoreApplication::processEvents();  // told after the paste has returned
  ASSERT_EQ(1u, prompter.Shown().size());
  EXPECT_NE(std::string::npos, prompter.ShownUtf8()[0].find("U+1F600"));
  // text the program puts in is not cut: it was stored that way
  edit.SetTextSj("1234567890"_sj);
  EXPECT_EQ(QStringLiteral("1234567890"), edit.text());
}

TEST(SjTextEdit, TheMemoStoresCrLfAndKeepsItsLimit) {
  ScriptedPrompter prompter;
  SjTextEdit memo;
  memo.SetPrompter(&prompter);
  memo.SetMaxBytes(8);
  memo.SetTextSj("一\r\n二"_sj);
  EXPECT_EQ("一\r\n二"_sj, memo.TextSj());
  memo.moveCursor(QTextCursor::End);
  memo.insertPlainText(QString::fromUtf8("三四"));  // 6 bytes + 2 + 2: one kanji fits
  EXPECT_EQ("一\r\n二三"_sj, memo.TextSj());
  memo.insertPlainText(kEmoji);
  EXPECT_EQ("一\r\n二三"_sj, memo.TextSj());
  QCoreApplication::processEvents();
  EXPECT_EQ(1u, prompter.Shown().size());
}

QString TextOf(QWidget* box) {
  if (auto* e = qobject_cast<SjLineEdit*>(box)) return e->text();
  if (auto* c = qobject_cast<SjComboBox*>(box)) return c->currentText();
  return static_cast<SjTextEdit*>(box)->toPlainText();
}

// An input method's event as the platform's input context sends it.
void Compose(QWidget* box, const char* preedit, const char* commit = "") {
  QInputMethodEvent e(QString::fromUtf8(preedit), {});
  e.setCommitString(QString::fromUtf8(commit));
  QCoreApplication::sendEvent(box, &e);
}

TEST(SjInputMethod, EveryKindOfBoxComposesCommitsRefusesAndSettlesByItsOwnRule) {
  struct Kind {
    const char* name;
    std::function<QWidget*(QWidget*, Prompter*)> make;
    bool on;
  };
  auto line = [](bool on) {
    return [on](QWidget* parent, Prompter* p) {
      auto* e = new SjLineEdit(parent);
      e->SetPrompter(p);
      e->SetInputMethodOn(on);
      return static_cast<QWidget*>(e);
    };
  };
  auto combo = [](bool on) {
    return [on](QWidget* parent, Prompter* p) {
      auto* c = new SjComboBox(parent);
      c->Edit()->SetPrompter(p);
      c->SetInputMethodOn(on);
      return static_cast<QWidget*>(c);
    };
  };
  auto memo = [](bool on) {
    return [on](QWidget* parent, Prompter* p) {
      auto* m = new SjTextEdit(parent);
      m->SetPrompter(p);
      m->SetInputMethodOn(on);
      return static_cast<QWidget*>(m);
    };
  };
  const Kind kinds[] = {
      {"line", line(true), true},
      {"combo", combo(true), true},
      {"memo", memo(true), true},
      {"line, method off", line(false), false},
      {"combo, method off", combo(false), false},
      {"memo, method off", memo(false), false},
  };
  for (const Kind& k : kinds) {
    SCOPED_TRACE(k.name);
    ScriptedPrompter prompter;
    QWidget window;
    QWidget* box = k.make(&window, &prompter);
    auto* next = new SjLineEdit(&window);
    window.show();
    QApplication::setActiveWindow(&window);
    box->setFocus();
    EXPECT_EQ(k.on, ImEnabled(box));
    const QString kept = k.on ? QString::fromUtf8("日本") : QString();

    Compose(box, "にほん");  // a composition is not text yet
    EXPECT_EQ(QString(), TextOf(box));
    Compose(box, "", "日本");
    EXPECT_EQ(kept, TextOf(box));
    // ♡ has no CP932 form; the method sends it again as the focus moves
    Compose(box, "はーと");
    Compose(box, "", "♡");
    Compose(box, "", "♡");
    EXPECT_EQ(kept, TextOf(box));
    EXPECT_TRUE(prompter.Shown().empty()) << "no box inside the input method's event";
    QCoreApplication::processEvents();
    ASSERT_EQ(k.on ? 1u : 0u, prompter.Shown().size());
    if (k.on) {
      EXPECT_NE(std::string::npos, prompter.ShownUtf8()[0].find("U+2661"));
    }
    Compose(box, "", "♡");  // a new refusal is told again
    QCoreApplication::processEvents();
    EXPECT_EQ(k.on ? 2u : 0u, prompter.Shown().size());

    // a composition open as the focus leaves stays in its own box
    Compose(box, "ご");
    next->setFocus();
    EXPECT_EQ(k.on ? QString::fromUtf8("日本ご") : QString(), TextOf(box));
    EXPECT_EQ(QString(), next->text());
    // ibus sends what it had open once more, by now to the next box
    Compose(next, "", "ご");
    EXPECT_EQ(k.on ? QString() : QString::fromUtf8("ご"), next->text());
    QApplication::setActiveWindow(nullptr);
  }
}

}  // namespace
