#include "window/DialogBuilder.h"

#include "window/QtText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTableView>

#include <algorithm>
#include <cstdlib>

namespace bitexa {

namespace {

// Installed with fonts-noto-cjk; holds Latin and Japanese glyphs alike.
const QString JapaneseUiFont = QStringLiteral("Noto Sans CJK JP");

// The text whose width, divided by its length, is the average character width.
const QString AlphabetSample =
    QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");

bool Has(StyleSet styles, StyleSet style) {
    return (styles & style) != 0;
}

// number * numerator / denominator, rounded to the nearest integer, halves away from zero.
int MulDiv(int number, int numerator, int denominator) {
    const long long product = static_cast<long long>(number) * numerator;
    const long long divisor = denominator;
    const bool negative = (product < 0) != (divisor < 0);
    const long long quotient =
        (std::llabs(product) + std::llabs(divisor) / 2) / std::llabs(divisor);
    return static_cast<int>(negative ? -quotient : quotient);
}

Qt::WindowFlags WindowFlagsOf(StyleSet styles) {
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint;
    if (Has(styles, Styles::Caption)) {
        flags |= Qt::WindowTitleHint;
    }
    if (Has(styles, Styles::SystemMenu)) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if (Has(styles, Styles::MinimizeBox)) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    if (Has(styles, Styles::MaximizeBox)) {
        flags |= Qt::WindowMaximizeButtonHint;
    }
    return flags;
}

QWidget* CreateEdit(const ControlTemplate& control, QWidget& parent) {
    if (!Has(control.styles, Styles::EditMultiLine)) {
        auto* edit = new QLineEdit(&parent);
        edit->setFrame(Has(control.styles, Styles::Border));
        return edit;
    }
    auto* edit = new QPlainTextEdit(&parent);
    // Without word wrap long lines scroll sideways; there is no horizontal scroll bar.
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setVerticalScrollBarPolicy(Has(control.styles, Styles::VerticalScroll)
                                         ? Qt::ScrollBarAlwaysOn
                                         : Qt::ScrollBarAlwaysOff);
    // Enter breaks the line (the edit wants it); Tab still moves to the next control.
    edit->setTabChangesFocus(true);
    edit->setFrameShape(Has(control.styles, Styles::Border) ? QFrame::StyledPanel
                                                            : QFrame::NoFrame);
    return edit;
}

QWidget* CreateListView(const ControlTemplate& control, QWidget& parent) {
    auto* list = new QTableView(&parent);
    list->setFrameShape(Has(control.styles, Styles::Border) ? QFrame::StyledPanel
                                                            : QFrame::NoFrame);
    // A report list: column headings and no row headings.
    list->verticalHeader()->hide();
    list->horizontalHeader()->setVisible(Has(control.styles, Styles::ListReport));
    list->horizontalHeader()->setSectionsClickable(!Has(control.styles, Styles::ListNoSortHeader));
    list->setSortingEnabled(false);
    return list;
}

QWidget* CreateControl(const ControlTemplate& control, QWidget& parent) {
    switch (control.kind) {
    case ControlKind::PushButton: {
        auto* button = new QPushButton(ToQString(control.text), &parent);
        // No button is pressed by Enter: the dialogs have no default button.
        button->setAutoDefault(false);
        return button;
    }
    case ControlKind::CheckBox:
        // An automatic check box: a click changes its state, nothing else happens.
        return new QCheckBox(ToQString(control.text), &parent);
    case ControlKind::StaticText: {
        auto* label = new QLabel(ToQString(control.text), &parent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case ControlKind::Edit:
        return CreateEdit(control, parent);
    case ControlKind::ComboBox:
        // A drop-down list: the entries cannot be edited. Entries are always added at the end,
        // so the sort style never reorders them.
        return new QComboBox(&parent);
    case ControlKind::Trackbar: {
        auto* slider = new QSlider(Qt::Horizontal, &parent);
        slider->setTickPosition(Has(control.styles, Styles::TrackBothSides)
                                    ? QSlider::TicksBothSides
                                    : QSlider::TicksBelow);
        // Automatic ticks: one at every position.
        slider->setTickInterval(Has(control.styles, Styles::TrackAutoTicks) ? 1 : 0);
        return slider;
    }
    case ControlKind::ListView:
        return CreateListView(control, parent);
    }
    return nullptr;
}

} // namespace

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int sampleWidth = metrics.horizontalAdvance(AlphabetSample);
    return {(sampleWidth / 26 + 1) / 2, metrics.height()};
}

QRect DluToPixels(const DluRect& rect, DialogBaseUnits units) {
    return QRect(MulDiv(rect.x, units.horizontal, 4), MulDiv(rect.y, units.vertical, 8),
                 MulDiv(rect.width, units.horizontal, 4), MulDiv(rect.height, units.vertical, 8));
}

QFont TemplateFont(const DialogTemplate& dialog) {
    QFont font;
    font.setFamilies({ToQString(dialog.fontName), JapaneseUiFont});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(dialog.pointSize);
    return font;
}

QString ControlName(int id) {
    return QString::number(id);
}

std::vector<QWidget*> BuildDialog(const DialogTemplate& dialog, QWidget& window) {
    window.setWindowFlags(WindowFlagsOf(dialog.styles));
    window.setWindowTitle(ToQString(dialog.caption));
    window.setFont(TemplateFont(dialog));
    const DialogBaseUnits units = BaseUnitsOf(window.font());
    const QSize client = DluToPixels({0, 0, dialog.width, dialog.height}, units).size();
    if (Has(dialog.styles, Styles::SizingBorder)) {
        window.resize(client);
    } else {
        window.setFixedSize(client);
    }

    std::vector<QWidget*> controls;
    QWidget* previousTabStop = nullptr;
    for (const ControlTemplate& control : dialog.controls) {
        QWidget* widget = CreateControl(control, window);
        if (control.id != NoControlId) {
            widget->setObjectName(ControlName(control.id));
        }
        QRect geometry = DluToPixels(control.rect, units);
        if (control.kind == ControlKind::StaticText) {
            // The stand-in fonts draw some words wider than the fonts the layout was made for;
            // a label shows its whole text rather than clip it.
            geometry.setWidth(std::max(geometry.width(), widget->sizeHint().width()));
        }
        widget->setGeometry(geometry);
        widget->setAcceptDrops(Has(control.exStyles, ExStyles::AcceptFiles));
        widget->setVisible(Has(control.styles, Styles::Visible));
        if (Has(control.styles, Styles::TabStop)) {
            widget->setFocusPolicy(Qt::StrongFocus);
            if (previousTabStop != nullptr) {
                QWidget::setTabOrder(previousTabStop, widget);
            }
            previousTabStop = widget;
        } else if (control.kind != ControlKind::StaticText) {
            widget->setFocusPolicy(Qt::ClickFocus);
        }
        controls.push_back(widget);
    }
    return controls;
}

} // namespace bitexa
