// Form1, the program's only window: the input field Text1 under "signedHEX" and the read-only
// output fields Text2 under "unsignedHEX" and Text3 under "bitdata", on a fixed 288 x 95 client
// area that carries the background picture.

#ifndef TOVREL_WINDOW_QT_MAINWINDOW_H_
#define TOVREL_WINDOW_QT_MAINWINDOW_H_

#include <QPixmap>
#include <QString>
#include <QWidget>

class InputField;
class QLabel;
class QLineEdit;

class Form1 : public QWidget {
  Q_OBJECT

 public:
  explicit Form1(QWidget* parent = nullptr);
  ~Form1() override;

 protected:
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  // The five handlers, named for the control and the event they serve.
  void Form_Load();
  void Text1_Change();
  void Text1_KeyPress(char16_t& code);
  void Text2_Click();
  void Text3_Click();

  void fitTexts();
  bool filterText1(QEvent* event);
  void typeFiltered(const QString& text);

  QPixmap m_background;
  QLabel* m_label1 = nullptr;
  QLabel* m_label2 = nullptr;
  QLabel* m_label3 = nullptr;
  InputField* m_text1 = nullptr;
  QLineEdit* m_text2 = nullptr;
  QLineEdit* m_text3 = nullptr;
};

#endif  // TOVREL_WINDOW_QT_MAINWINDOW_H_
