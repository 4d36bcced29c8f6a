#pragma once
// A figure shown in a label of its own beside its caption ("Held now:" and "$1,500.00") is named
// as it reads, "Held now: $1,500.00": a screen reader then says the amount with what it is, where
// the caption alone would leave it out.

#include <QString>

class QLabel;

namespace halvo {

// "Held now:" and "$1,500.00" read "Held now: $1,500.00"; a caption without its colon gets one
// ("Total Income" and "$1,200.00" read "Total Income: $1,200.00"). The caption's keyboard
// mark (&) is not read.
QString readsAs(const QString& caption, const QString& figure);

// Shows `figure` in its label, named as it reads beside `caption`.
void showFigure(QLabel* label, const QString& caption, const QString& figure);

} // namespace halvo
