// What a page shows of a body held in groups (see the page script): every
// element of the body in one of the groups, in the body's own order, and
// when the groups are dissolved its text as well.
#pragma once

#include <QString>

namespace varnoke::test {

// For each shown document (the top one and every frame): "as written"
// when its body has no groups, else "grouped" or "dissolved" (the groups'
// boxes shown as if they were not there) and whether they show the body's
// nodes in order.
inline const QString GroupOrderScript = QStringLiteral(
    "(function () { var docs = [document];"
    " for (var i = 0; i < window.frames.length; ++i) docs.push(window.frames[i].document);"
    " return docs.map(function (d) {"
    "  var body = d.body;"
    "  if (!body || !body.shadowRoot) return 'as written';"
    "  var shown = [], dissolved = true;"
    "  body.shadowRoot.querySelectorAll('slot').forEach(function (slot) {"
    "   dissolved = dissolved && getComputedStyle(slot.parentNode).display === 'contents';"
    "   shown = shown.concat(slot.assignedNodes()); });"
    "  var nodes = Array.prototype.filter.call(body.childNodes, function (n) {"
    "   return n.nodeType === Node.ELEMENT_NODE ||"
    "    (dissolved && n.nodeType === Node.TEXT_NODE); });"
    "  var inOrder = shown.length === nodes.length && shown.every(function (n, k) {"
    "   return n === nodes[k]; });"
    "  return (dissolved ? 'dissolved' : 'grouped') + (inOrder ? ' in order' : ' out of order');"
    " }).join(', '); })()");

} // namespace varnoke::test
