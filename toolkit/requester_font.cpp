// The font requester: face, size, bold and italic, plus (with the effects
// flag) underline, strike-out and a text colour, which the system's font
// dialog does not offer. A preview shows the choice. The last confirmed
// choice stays readable through tk_selected_font_*. Main thread only.
#include "toolkit/images.h"
#include "toolkit/internal.h"
#include "toolkit/requesters.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace {

struct FontChoice {
    std::wstring name;
    int64_t size = 0;
    int64_t style = 0;
    int64_t color = 0; // 0xBBGGRR
};
FontChoice selected; // last confirmed choice

int64_t bgr_of(const QColor& c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

// The style bits of four check boxes, in the order bold, italic, underline, strike-out.
constexpr int64_t kStyleBits[] = {TkFontBold, TkFontItalic, TkFontUnderline, TkFontStrikeOut};
constexpr const char* kStyleNames[] = {"Fett", "Kursiv", "Unterstrichen", "Durchgestrichen"};
constexpr const char* kStyleObjects[] = {"tk_font_bold", "tk_font_italic", "tk_font_underline",
                                         "tk_font_strikeout"};
static_assert(std::size(kStyleBits) == std::size(kStyleNames) &&
              std::size(kStyleBits) == std::size(kStyleObjects));

class FontRequester : public QDialog {
  public:
    FontRequester(const FontChoice& start, bool effects) : QDialog(QApplication::activeWindow()) {
        setWindowTitle(QStringLiteral("Schriftart"));
        auto* form = new QFormLayout(this);
        face_ = new QFontComboBox(this);
        face_->setObjectName(QStringLiteral("tk_font_face"));
        if (!start.name.empty()) face_->setCurrentFont(QFont(tk_qstring(start.name)));
        form->addRow(QStringLiteral("Schriftart:"), face_);
        size_ = new QSpinBox(this);
        size_->setObjectName(QStringLiteral("tk_font_size"));
        size_->setRange(1, 500);
        size_->setValue(start.size > 0 ? static_cast<int>(start.size)
                                       : QApplication::font().pointSize());
        form->addRow(QStringLiteral("Größe:"), size_);
        add_style_boxes(form, start.style, effects);
        add_color_button(form, start.color, effects);
        preview_ = new QLabel(QStringLiteral("AaBbYyZz ÄÖÜ äöü"), this);
        preview_->setMinimumHeight(48);
        form->addRow(QStringLiteral("Vorschau:"), preview_);
        add_buttons(form);
        connect(face_, &QFontComboBox::currentFontChanged, this, [this] { update_preview(); });
        connect(size_, &QSpinBox::valueChanged, this, [this] { update_preview(); });
        update_preview();
    }

    FontChoice choice() const {
        FontChoice c;
        c.name = tk_wstring(face_->currentFont().family());
        c.size = size_->value();
        for (size_t i = 0; i < std::size(kStyleBits); ++i)
            if (styles_[i]->isChecked()) c.style |= kStyleBits[i];
        c.color = bgr_of(color_);
        return c;
    }

  private:
    void add_style_boxes(QFormLayout* form, int64_t style, bool effects) {
        for (size_t i = 0; i < std::size(kStyleBits); ++i) {
            styles_[i] = new QCheckBox(QString::fromUtf8(kStyleNames[i]), this);
            styles_[i]->setObjectName(QLatin1String(kStyleObjects[i]));
            // Underline and strike-out are effects: offered only when asked for.
            const bool offered = i < 2 || effects;
            styles_[i]->setChecked(offered && (style & kStyleBits[i]));
            styles_[i]->setVisible(offered);
            if (offered) form->addRow(QString(), styles_[i]);
            connect(styles_[i], &QCheckBox::toggled, this, [this] { update_preview(); });
        }
    }

    void add_color_button(QFormLayout* form, int64_t color, bool effects) {
        color_ = tk_color_from_bgr(color);
        color_button_ = new QPushButton(QStringLiteral("Farbe …"), this);
        color_button_->setObjectName(QStringLiteral("tk_font_color"));
        color_button_->setAutoDefault(false);
        connect(color_button_, &QPushButton::clicked, this, [this] {
            QColorDialog colors(color_, this);
            colors.setWindowTitle(QStringLiteral("Farbe"));
            if (tk_modal_run(&colors) == QDialog::Accepted) color_ = colors.selectedColor();
            update_preview();
        });
        color_button_->setVisible(effects);
        if (effects) form->addRow(QStringLiteral("Farbe:"), color_button_);
    }

    void add_buttons(QFormLayout* form) {
        auto* buttons = new QDialogButtonBox(this);
        buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
        buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        form->addRow(buttons);
    }

    void update_preview() {
        const FontChoice c = choice();
        QFont font(tk_qstring(c.name), static_cast<int>(c.size));
        font.setBold(c.style & TkFontBold);
        font.setItalic(c.style & TkFontItalic);
        font.setUnderline(c.style & TkFontUnderline);
        font.setStrikeOut(c.style & TkFontStrikeOut);
        preview_->setFont(font);
        QPalette palette = preview_->palette();
        palette.setColor(QPalette::WindowText, color_);
        preview_->setPalette(palette);
    }

    QFontComboBox* face_ = nullptr;
    QSpinBox* size_ = nullptr;
    QCheckBox* styles_[std::size(kStyleBits)] = {};
    QPushButton* color_button_ = nullptr;
    QLabel* preview_ = nullptr;
    QColor color_;
};

} // namespace

int64_t tk_font_requester(const std::wstring& name, int64_t size, int64_t flags, int64_t color,
                          int64_t style) {
    FontRequester dialog(FontChoice{name, size, style, color},
                         (flags & TkFontRequesterEffects) != 0);
    if (tk_modal_run(&dialog) != QDialog::Accepted) return 0;
    selected = dialog.choice();
    return 1;
}

std::wstring tk_selected_font_name() {
    return selected.name;
}
int64_t tk_selected_font_size() {
    return selected.size;
}
int64_t tk_selected_font_style() {
    return selected.style;
}
int64_t tk_selected_font_color() {
    return selected.color;
}
