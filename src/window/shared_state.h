#pragma once

#include <QObject>
#include <QString>

namespace studyhop {

// The values the main window shares with every other window: the public
// variables F_name, Mode and Log, and the texts of the strip's Text1, Text2,
// Text4, Tex1 and Tex2. Every change is announced, so the strip can follow.
class SharedState : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    const QString& F_name() const { return m_fName; }
    int Mode() const { return m_mode; }
    int Log() const { return m_log; }
    const QString& Text1() const { return m_text1; }
    const QString& Text2() const { return m_text2; }
    const QString& Text4() const { return m_text4; }
    const QString& Tex1() const { return m_tex1; }
    const QString& Tex2() const { return m_tex2; }

    void setF_name(const QString& value) { assign(m_fName, value); }
    void setMode(int value);
    void setLog(int value) { m_log = value; }
    void setText1(const QString& value) { assign(m_text1, value); }
    void setText2(const QString& value) { assign(m_text2, value); }
    void setText4(const QString& value) { assign(m_text4, value); }
    void setTex1(const QString& value) { assign(m_tex1, value); }
    void setTex2(const QString& value) { assign(m_tex2, value); }

    // Codes and settings travel as the text of a whole number; a text that is
    // no number counts as 0.
    static int number(const QString& text);

signals:
    void changed();

private:
    void assign(QString& field, const QString& value);

    QString m_fName;
    int m_mode = 0;
    int m_log = 0;
    QString m_text1;
    QString m_text2;
    QString m_text4;
    QString m_tex1;
    QString m_tex2;
};

}  // namespace studyhop
