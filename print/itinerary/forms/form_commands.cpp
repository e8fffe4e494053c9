#include "itinerary/forms/form_commands.h"

#include <QtGlobal>

#include <algorithm>

namespace itin {

namespace {

struct Line {
    int left, top, height, end;
};

constexpr int kGap = 105;

Line lineOf(FormLine line) {
    switch (line) {
    case FormLine::Platform:
        return {3720, 120, 300, 4680}; // up to the status line
    case FormLine::Buttons:
        return {5040, 480, 375, 6360}; // up to the mode switch
    case FormLine::Sheets:
        return {2280, 4440, 375, 4200};
    case FormLine::Tools:
        break;
    }
    return {4200, 4440, 375, 11610};
}

// The twips of every command as placed on its line, in the order given.
std::vector<QRect> layOut(const std::vector<FormCommand>& commands) {
    std::vector<QRect> rects;
    for (size_t i = 0; i < commands.size(); ++i) {
        const Line line = lineOf(commands[i].place.line);
        int left = line.left;
        for (size_t j = 0; j < i; ++j)
            if (commands[j].place.line == commands[i].place.line)
                left = rects[j].right() + 1 + kGap;
        rects.push_back(QRect(left, line.top, commands[i].place.width, line.height));
    }
    return rects;
}

bool fits(const std::vector<FormCommand>& commands) {
    const std::vector<QRect> rects = layOut(commands);
    for (size_t i = 0; i < commands.size(); ++i)
        if (rects[i].left() + rects[i].width() > lineOf(commands[i].place.line).end) return false;
    return true;
}

} // namespace

bool FormCommands::add(FormCommand command) {
    const QString id = command.id;
    std::vector<FormCommand> next = commands_;
    auto same =
        std::find_if(next.begin(), next.end(), [&](const FormCommand& c) { return c.id == id; });
    if (same != next.end())
        *same = std::move(command);
    else
        next.push_back(std::move(command));
    if (!fits(next)) {
        qWarning("print form: no room on its line for the command %s", qPrintable(id));
        return false;
    }
    commands_ = std::move(next);
    return true;
}

QRect FormCommands::placeOf(size_t i) const {
    return layOut(commands_).at(i);
}

void FormCommands::run(const QString& id, P_GuoNei& form) const {
    for (const FormCommand& c : commands_)
        if (c.id == id && c.handler) return c.handler(form);
}

} // namespace itin
