#pragma once
// The markup dialect the page handlers cut values from: tag names in upper case
// ("</TR>", "<BR>"), attribute values bare when they are one plain token and in double
// quotes otherwise (<FRAMESET id=top rows="30%,*">, <TD style="width: 40px">).
#include <QString>

namespace browser {

// True when a value can be written without quotes.
bool IsPlainToken(const QString& value);
// " name=value", " name=\"va lue\"" or " name" for an empty value.
QString AttributeMarkup(const QString& name, const QString& value);
// Elements written without an end tag (BR, INPUT, IMG, ...).
bool IsVoidElement(const QString& upperTag);
// Elements whose text is written as is (SCRIPT, STYLE).
bool IsRawTextElement(const QString& upperTag);
// Text content with &, <, > and the no-break space escaped.
QString EscapeText(const QString& text);

} // namespace browser
