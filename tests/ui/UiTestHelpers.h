#pragma once
// Small helpers of the window tests: controls by objectName, coloured lines of a pane, modal
// dialogs answered from a timer, and PNG grabs for looking at the window (N6_GRAB_DIR).

#include <QAction>
#include <QApplication>
#include <QColor>
#include <QDir>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QWidget>

#include <functional>

template <typename T> T *Find(QWidget *root, const char *name) {
    T *w = root->findChild<T *>(QLatin1String(name));
    if (!w)
        qFatal("no control named %s", name);
    return w;
}

// One line of a text pane with the colour it was written in.
struct PaneLine {
    QString text;
    QColor color;
};

inline QList<PaneLine> PaneLines(QPlainTextEdit *pane) {
    QList<PaneLine> lines;
    for (QTextBlock b = pane->document()->begin(); b.isValid(); b = b.next()) {
        QColor color = b.charFormat().foreground().color();
        if (b.begin() != b.end())
            color = b.begin().fragment().charFormat().foreground().color();
        lines.append({b.text(), color});
    }
    if (lines.size() == 1 && lines.first().text.isEmpty() && pane->document()->isEmpty() &&
        !pane->property("n6HasLine").toBool())
        lines.clear();
    return lines;
}

// Runs `answer` on the next modal dialog that opens (polling every 20 ms, up to 5 s).
inline void AnswerNextModal(std::function<void(QWidget *)> answer) {
    auto *timer = new QTimer;
    auto *elapsed = new int(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, elapsed, answer] {
        *elapsed += 20;
        if (QWidget *modal = QApplication::activeModalWidget()) {
            timer->stop();
            answer(modal);
            timer->deleteLater();
            delete elapsed;
        } else if (*elapsed > 5000) {
            timer->stop();
            timer->deleteLater();
            delete elapsed;
        }
    });
    timer->start(20);
}

// Saves a picture of the window when N6_GRAB_DIR names a folder.
inline void Grab(QWidget *w, const QString &name) {
    const QString dir = qEnvironmentVariable("N6_GRAB_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    QApplication::processEvents();
    w->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}
