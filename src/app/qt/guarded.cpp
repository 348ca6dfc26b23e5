#include "app/qt/guarded.h"

#include <QAbstractButton>

namespace fjl::app {

void ConnectGuarded(QAbstractButton* button, QObject* context, MessageSink& messages,
                    std::function<void()> handler) {
  QObject::connect(button, &QAbstractButton::clicked, context,
                   [&messages, handler = std::move(handler)] { RunGuarded(messages, handler); });
}

}  // namespace fjl::app
