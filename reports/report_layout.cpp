#include "report_layout.h"

namespace halvo {

namespace {

template <class Section>
auto* findControl(Section& section, const QString& controlName)
{
    for (auto& c : section.controls)
        if (c.name == controlName)
            return &c;
    return static_cast<decltype(&section.controls.front())>(nullptr);
}

template <class Layout>
auto* findSection(Layout& layout, const QString& sectionName)
{
    // The names the report designer gave the five sections.
    if (sectionName == QLatin1String("Section4"))
        return &layout.reportHeader;
    if (sectionName == QLatin1String("Section2"))
        return &layout.pageHeader;
    if (sectionName == QLatin1String("Section1"))
        return &layout.detail;
    if (sectionName == QLatin1String("Section3"))
        return &layout.pageFooter;
    if (sectionName == QLatin1String("Section5"))
        return &layout.reportFooter;
    return static_cast<decltype(&layout.detail)>(nullptr);
}

} // namespace

ReportControl* ReportSection::control(const QString& controlName)
{
    return findControl(*this, controlName);
}

const ReportControl* ReportSection::control(const QString& controlName) const
{
    return findControl(*this, controlName);
}

ReportSection* ReportLayout::section(const QString& sectionName)
{
    return findSection(*this, sectionName);
}

const ReportSection* ReportLayout::section(const QString& sectionName) const
{
    return findSection(*this, sectionName);
}

namespace {

// What every kind of control has: its kind, name, text, place and size.
ReportControl placed(ReportControlKind kind, const QString& name, const QString& text, int left,
                     int top, int width, int height)
{
    ReportControl c;
    c.kind = kind;
    c.name = name;
    c.text = text;
    c.left = left;
    c.top = top;
    c.width = width;
    c.height = height;
    return c;
}

} // namespace

ReportControl reportLabel(const QString& name, const QString& caption, int left, int top,
                          int width, int height, ReportFont font, Qt::Alignment alignment)
{
    ReportControl c =
        placed(ReportControlKind::Label, name, caption, left, top, width, height);
    c.font = font;
    c.alignment = alignment;
    return c;
}

ReportControl reportTextBox(const QString& name, const QString& field, const QString& format,
                            int left, int top, int width, int height, Qt::Alignment alignment)
{
    ReportControl c = placed(ReportControlKind::TextBox, name, field, left, top, width, height);
    c.format = format;
    c.alignment = alignment;
    return c;
}

ReportControl reportSum(const QString& name, const QString& field, const QString& format,
                        int left, int top, int width, int height, Qt::Alignment alignment)
{
    ReportControl c = reportTextBox(name, field, format, left, top, width, height, alignment);
    c.kind = ReportControlKind::Sum;
    return c;
}

ReportControl reportLine(const QString& name, int left, int top, int width)
{
    return placed(ReportControlKind::Line, name, {}, left, top, width, 0);
}

} // namespace halvo
