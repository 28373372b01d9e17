#pragma once

// A translator made of a few words of one context, so a test can install a
// language without a .qm file and see which texts follow it.

#include <QMap>
#include <QString>
#include <QTranslator>

namespace TestSupport {

class WordTranslator : public QTranslator
{
public:
    WordTranslator(const char* context, const QMap<QString, QString>& words)
        : m_context(context)
        , m_words(words)
    {
    }

    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        if (m_context != context)
            return QString();
        return m_words.value(QString::fromUtf8(sourceText));
    }

private:
    QByteArray m_context;
    QMap<QString, QString> m_words;
};

} // namespace TestSupport
