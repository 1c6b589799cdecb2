#include "testcenter/ModelReport.h"

namespace {

QString esc(const QString &text)
{
    return text.toHtmlEscaped();
}

QString table(const QList<ModelReport::Line> &lines, bool withReference)
{
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">");
    if (withReference)
        html += QStringLiteral("<tr><th align=\"left\">Result</th><th align=\"right\">Model</th>"
                               "<th align=\"right\">Reference model</th></tr>");
    for (const ModelReport::Line &l : lines) {
        html += QStringLiteral("<tr><td>%1</td><td align=\"right\">%2</td>").arg(esc(l.caption), esc(l.value));
        if (withReference)
            html += QStringLiteral("<td align=\"right\">%1</td>").arg(esc(l.reference));
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

} // namespace

QString ModelReportHtml(const ModelReport &r)
{
    QString html = QStringLiteral("<html><body>");
    html += QStringLiteral("<h2>Fuel model %1 - %2</h2>").arg(esc(r.id), esc(r.description));
    html += QStringLiteral("<p>Fuel model set: %1</p>").arg(esc(r.setName));
    if (!r.units.isEmpty())
        html += QStringLiteral("<p>Units: %1</p>").arg(esc(r.units));
    html += QStringLiteral("<h3>Parameters</h3>") + table(r.parameters, false);
    html += QStringLiteral("<h3>Environment</h3>") + table(r.environment, false);
    html += QStringLiteral("<h3>Results (computed %1)</h3>").arg(esc(r.conventions));
    html += QStringLiteral("<p>Reference model: %1</p>")
                .arg(r.referenceModel.isEmpty() ? QStringLiteral("none") : esc(r.referenceModel));
    html += table(r.results, true);
    if (r.charts > 0) {
        // The charts start a page of their own, one chart a row across the page: they are wide
        // and low, and two side by side shrink their axis texts below reading size.
        html += QStringLiteral("<h3 style=\"page-break-before: always\">Charts</h3><table cellspacing=\"4\">");
        for (int k = 0; k < r.charts; ++k)
            html += QStringLiteral("<tr><td><img src=\"chart%1\" width=\"640\"></td></tr>").arg(k);
        html += QStringLiteral("</table>");
    }
    if (!r.analysisPanel.isEmpty())
        html +=
            QStringLiteral(
                "<h3 style=\"page-break-before: always\">Analysis: %1</h3><p><img src=\"analysis\" width=\"640\"></p>")
                .arg(esc(r.analysisPanel));
    // What is known of the model: the notes as the editor shows them, and its history.
    // On a page of its own, last: page one is full with the model, its environment and results.
    html += QStringLiteral("<h3 style=\"page-break-before: always\">Notes</h3>");
    html += table({{QStringLiteral("Source"), r.source, {}}, {QStringLiteral("Author"), r.author, {}}}, false);
    if (!r.notes.isEmpty())
        html += QStringLiteral("<p>%1</p>").arg(esc(r.notes).replace(QLatin1Char('\n'), QStringLiteral("<br>")));
    if (r.history.isEmpty()) {
        html += QStringLiteral("<p>History: none recorded.</p>");
    } else {
        html += QStringLiteral("<p>History:</p><ul>");
        for (const QString &line : r.history)
            html += QStringLiteral("<li>%1</li>").arg(esc(line));
        html += QStringLiteral("</ul>");
    }
    html += QStringLiteral("<p><small>Varrow %1, printed %2</small></p>").arg(esc(r.version), esc(r.date));
    return html + QStringLiteral("</body></html>");
}
