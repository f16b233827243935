#include "shell/splashform.h"

#include <QKeyEvent>
#include <QTextBlockFormat>
#include <QTextCursor>

#include "game/gift.h"
#include "shell/flattenbuttons.h"
#include "shell/fonts.h"
#include "shell/giftmakerdlg.h"
#include "shell/glyphs.h"
#include "shell/modal.h"
#include "shell/startup.h"

namespace {

QToolButton* GlyphButton(QWidget* parent, const QString& name, const QString& caption, const QIcon& glyph,
                         QRect geometry) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setText(caption);
  button->setIcon(glyph);
  button->setIconSize(QSize(32, 32));
  // The splash's buttons keep their raised look when the others go flat.
  button->setProperty(ButtonTag, KeepOwnLook);
  button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  button->setGeometry(geometry);
  return button;
}

Qt::Alignment ToQt(TAlignment alignment) {
  switch (alignment) {
    case TAlignment::RightJustify:
      return Qt::AlignRight;
    case TAlignment::Center:
      return Qt::AlignHCenter;
    case TAlignment::LeftJustify:
      break;
  }
  return Qt::AlignLeft;
}

}  // namespace

TSplashForm::TSplashForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      Panel1(new QFrame(this)),
      ProductShad(new QLabel(QStringLiteral("Tessarine Gift"), Panel1)),
      Product(new QLabel(QStringLiteral("Tessarine Gift"), Panel1)),
      Version(new QLabel(QStringLiteral("player " TG_VERSION), Panel1)),
      Panel2(new QFrame(Panel1)),
      GiftLab(new QLabel(Panel2)),
      WebBtn(GlyphButton(Panel1, QStringLiteral("WebBtn"), MakerWebAddress(), GlyphIcon(TGlyph::Web), {15, 138, 174, 57})),
      OrderBtn(GlyphButton(Panel1, QStringLiteral("OrderBtn"), QStringLiteral("Order"), GlyphIcon(TGlyph::Order),
                           {195, 138, 86, 57})),
      OkBtn(GlyphButton(Panel1, QStringLiteral("OkBtn"), QStringLiteral("&Play..."), GlyphIcon(TGlyph::Play),
                        {287, 138, 127, 57})),
      SaveResumeBox(new QCheckBox(Panel1)),
      Memo1(new QTextEdit(Panel1)) {
  setObjectName(QStringLiteral("SplashForm"));
  setWindowTitle(QStringLiteral("Tessarine Gift"));
  setFont(DesignFont(QStringLiteral("Arial"), -13));
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);
  setAutoFillBackground(true);
  setFixedSize(ClientWidth, ClientHeight);

  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setGeometry(3, 3, 428, 408);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setLineWidth(4);
  Panel1->setAutoFillBackground(true);
  Panel1->setPalette(QPalette(palette().color(QPalette::Button)));

  const QFont productFont = DesignFont(QStringLiteral("Times New Roman"), -33, true, true);
  for (QLabel* label : {ProductShad, Product}) {
    label->setFont(productFont);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  }
  ProductShad->setObjectName(QStringLiteral("ProductShad"));
  ProductShad->setGeometry(9, 7, 413, 38);
  ProductShad->setStyleSheet(QStringLiteral("color: white;"));
  Product->setObjectName(QStringLiteral("Product"));
  Product->setGeometry(8, 6, 413, 38);
  Product->setStyleSheet(QStringLiteral("color: red; background: transparent;"));

  Version->setObjectName(QStringLiteral("Version"));
  Version->setGeometry(292, 48, 121, 16);
  Version->setAlignment(Qt::AlignRight | Qt::AlignTop);

  Panel2->setObjectName(QStringLiteral("Panel2"));
  Panel2->setGeometry(16, 72, 397, 57);
  Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  GiftLab->setObjectName(QStringLiteral("GiftLab"));
  GiftLab->setGeometry(Panel2->contentsRect());
  GiftLab->setWordWrap(true);
  GiftLab->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  WebBtn->setCursor(Qt::PointingHandCursor);
  WebBtn->setToolTip(QStringLiteral("Connect to our web site now!"));
  WebBtn->setStyleSheet(QStringLiteral("color: blue;"));
  // Without a maker's address there is no site to visit.
  WebBtn->setVisible(!MakerWebAddress().isEmpty());
  connect(WebBtn, &QToolButton::clicked, this, [this] { OpenInBrowser(WebBtn->text()); });
  // Without a maker's site to order from, the button makes a gift here.
  if (MakerWebAddress().isEmpty()) {
    OrderBtn->setText(QStringLiteral("Make a Gift"));
    OrderBtn->setIcon(WindowIcon());
    OrderBtn->setToolTip(QStringLiteral("Make a jigsaw gift of your own from any picture"));
  }
  // Over the splash, which waits for an answer, the gift maker waits too.
  connect(OrderBtn, &QToolButton::clicked, this, [this] {
    TGiftMakerDlg maker({}, this);
    ShowModal(maker);
  });
  connect(OkBtn, &QToolButton::clicked, this, &QDialog::accept);

  SaveResumeBox->setObjectName(QStringLiteral("SaveResumeBox"));
  SaveResumeBox->setGeometry(288, 178, 129, 17);
  SaveResumeBox->setChecked(true);
  SaveResumeBox->hide();

  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setGeometry(16, 204, 397, 193);
  Memo1->setReadOnly(true);
  Memo1->setFocusPolicy(Qt::NoFocus);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void TSplashForm::ShowTexts(const TSplashTexts& texts) {
  GiftLab->setText(MakerWebAddress().isEmpty() ? MadeWithText(texts.CreatorVersion) : texts.GiftLab);
  Memo1->setFont(FontFromSpec(texts.MemoFont));
  QPalette memo = Memo1->palette();
  memo.setColor(QPalette::Base, ToQColor(texts.MemoColor));
  memo.setColor(QPalette::Text, ToQColor(texts.MemoFont.Color));
  Memo1->setPalette(memo);
  Memo1->setPlainText(texts.MemoText);
  QTextCursor all(Memo1->document());
  all.select(QTextCursor::Document);
  QTextBlockFormat paragraph;
  paragraph.setAlignment(ToQt(texts.MemoAlignment));
  all.mergeBlockFormat(paragraph);
  Memo1->setVisible(texts.MemoVisible);
  Memo1->resize(Memo1->width(), texts.MemoHeight);
  Product->move(Product->x(), texts.ProductTop);
  ProductShad->move(ProductShad->x(), texts.ProductTop + 1);
  Panel1->resize(Panel1->width(), texts.PanelHeight);
  setFixedSize(ClientWidth, texts.ClientHeight);
}

void TSplashForm::ShowSaveResumeBox(const QString& caption) {
  SaveResumeBox->setText(caption);
  SaveResumeBox->show();
  CompactOkButton();
}

void TSplashForm::CompactOkButton() {
  OkBtn->resize(OkBtn->width(), OkBtn->height() * 4 / 6);
  OkBtn->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  OkBtn->setLayoutDirection(Qt::RightToLeft);
}

void TSplashForm::MakeCloseButton() {
  OkBtn->setText(QStringLiteral("&Close"));
  OkBtn->setIcon(GlyphIcon(TGlyph::Close));
}

void TSplashForm::SetButtonsEnabled(bool enabled) {
  for (QToolButton* button : {OkBtn, OrderBtn, WebBtn}) button->setEnabled(enabled);
}

void TSplashForm::SetStayOnTop(bool onTop) {
  const bool wasVisible = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
  if (wasVisible) show();
}

void TSplashForm::keyPressEvent(QKeyEvent* event) {
  // The OK button is both the default and the cancel button.
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      if (OkBtn->isEnabled()) OkBtn->click();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}
