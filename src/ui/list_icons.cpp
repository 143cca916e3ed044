#include "ui/list_icons.h"

#include <QPainter>
#include <QPixmap>

#include "report/activity_category.h"

namespace velnora::ui {
namespace {

QIcon Disc(QColor fill, QColor mark = Qt::transparent) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(fill.darker(150));
  painter.setBrush(fill);
  painter.drawEllipse(2, 2, 12, 12);
  if (mark != Qt::transparent) {
    painter.setPen(QPen(mark, 2));
    painter.drawLine(5, 8, 11, 8);
  }
  return QIcon(pixmap);
}

}  // namespace

QIcon CategoryIcon(int code) {
  switch (static_cast<Category>(code)) {
    case Category::Forwarded:
    case Category::ForwardedWithoutAttachments:
    case Category::ForwardedToPhone:
    case Category::SenderReplaced:
      return Disc(QColor(40, 160, 60));
    case Category::Information:
    case Category::ServerNotice:
    case Category::RemoteAnswered:
    case Category::RemoteNotAnswered:
      return Disc(QColor(60, 110, 200));
    case Category::ServerReply:
    case Category::Refused550:
    case Category::Refused552:
      return Disc(QColor(200, 50, 40));
    case Category::SpamDeleted:
      return Disc(QColor(120, 120, 120), Qt::white);
    default:
      // Not forwarded by a rule.
      return Disc(QColor(230, 170, 30), Qt::white);
  }
}

QIcon AccountIcon(int icon) {
  switch (icon) {
    case 1: return Disc(QColor(40, 160, 60));
    case 2: return Disc(QColor(200, 50, 40), Qt::white);
    default: return Disc(QColor(200, 200, 200));
  }
}

QIcon StatusImage(int icon) {
  switch (static_cast<velnora::StatusIcon>(icon)) {
    case velnora::StatusIcon::Started: return Disc(QColor(40, 160, 60));
    case velnora::StatusIcon::Sending: return Disc(QColor(60, 110, 200), Qt::white);
    case velnora::StatusIcon::Receiving: return Disc(QColor(60, 170, 200), Qt::white);
    case velnora::StatusIcon::Waiting: return Disc(QColor(230, 170, 30));
    case velnora::StatusIcon::Error: return Disc(QColor(200, 50, 40), Qt::white);
    case velnora::StatusIcon::Connecting: return Disc(QColor(130, 90, 200));
    case velnora::StatusIcon::Dialing: return Disc(QColor(130, 90, 200), Qt::white);
    default: return Disc(QColor(200, 200, 200));
  }
}

QIcon ProgramIcon() { return QIcon(QStringLiteral(":/velnora/velnora.png")); }

QIcon EnabledMark(bool enabled) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  if (enabled) {
    painter.setPen(QPen(QColor(30, 140, 50), 2.5));
    painter.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
  } else {
    painter.setPen(QPen(QColor(150, 150, 150), 2));
    painter.drawLine(4, 8, 12, 8);
  }
  return QIcon(pixmap);
}

}  // namespace velnora::ui
