#pragma once

#include "ui/messagepresenter.h"

#include <QList>
#include <QString>

namespace testsupport {

// Records the messages the window would show, instead of opening modal boxes.
class RecordingPresenter final : public ui::MessagePresenter {
public:
    struct Message {
        bool warning;
        QString title;
        QString text;
    };

    void information(QWidget*, const QString& title, const QString& text) override
    {
        messages.push_back({false, title, text});
    }
    void warning(QWidget*, const QString& title, const QString& text) override
    {
        messages.push_back({true, title, text});
    }

    QList<Message> messages;
};

} // namespace testsupport
