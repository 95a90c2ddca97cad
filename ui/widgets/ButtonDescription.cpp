#include "ui/widgets/ButtonDescription.h"

#include <QAbstractButton>

void describeButton(QAbstractButton& button, const QString& description) {
    button.setToolTip(description);
    button.setAccessibleName(description);
}
