// The live preview's side of each page the preview shows (the frame set and
// every frame in it). The window changes a shown page in place through
// varnokePreview.patch, keeps the caret's block in view through
// varnokePreview.follow, and hears of a double-click through the console.
//
// A page's body holds its blocks as elements, each after a text node of one
// line break; the body page ends with one more element, its closing
// paragraph, and the menu with the line breaks after "</body>".
(function varnokePageScript() {
    'use strict';
    if (window.varnokePreview)
        return;

    function pageName(doc) {
        var path = doc.location.pathname;
        return decodeURIComponent(path.substring(path.lastIndexOf('/') + 1));
    }

    function shownDocuments() {
        var docs = [document];
        for (var i = 0; i < window.frames.length; ++i) {
            try {
                if (window.frames[i].document.body)
                    docs.push(window.frames[i].document);
            } catch (e) {
            }
        }
        return docs;
    }

    // Text the browser shows as nothing between blocks: spaces, tabs and
    // line breaks (unlike a no-break space).
    function blank(text) {
        return /^[ \t\n\f\r]*$/.test(text);
    }

    var decoder = null;
    // The markup comes as the page's own Shift-JIS bytes, decoded here by
    // the decoder that read the page.
    function decode(base64) {
        var bytes = atob(base64);
        var array = new Uint8Array(bytes.length);
        for (var i = 0; i < bytes.length; ++i)
            array[i] = bytes.charCodeAt(i);
        if (!decoder)
            decoder = new TextDecoder('shift_jis');
        return decoder.decode(array);
    }

    // The one element the markup makes (its line break after it aside), or
    // null when it makes anything else. The markup is read as the body
    // would read it, in a body of its own: a range would follow every
    // change of the page as long as it lives.
    function element(doc, markup) {
        if (!doc.varnokeContext)
            doc.varnokeContext = doc.createElement('body');
        var context = doc.varnokeContext;
        context.innerHTML = markup;
        var node = context.firstChild;
        if (!node || node.nodeType !== Node.ELEMENT_NODE)
            return null;
        for (var after = node.nextSibling; after; after = after.nextSibling) {
            if (after.nodeType !== Node.TEXT_NODE || !blank(after.data))
                return null;
        }
        return node;
    }

    // The number of elements in a page's body, counted once and then kept
    // by the patches: counting them again after a change walks the whole
    // body, which at tens of thousands of blocks costs more than the patch.
    function elementCount(doc) {
        if (doc.varnokeElements === undefined)
            doc.varnokeElements = doc.body.children.length;
        return doc.varnokeElements;
    }

    // The element of the body at an index, found from the one the last
    // patch left off at when that is near: an author types in one place,
    // and the browser finds an index after a change by walking the body
    // from its start.
    var NearbyElements = 2000;

    function elementAt(doc, index) {
        var mark = doc.varnokeMark;
        if (!mark || !mark.element || mark.element.parentNode !== doc.body ||
            Math.abs(mark.index - index) > NearbyElements)
            return doc.body.children[index] || null;
        var found = mark.element;
        for (var i = mark.index; i < index && found; ++i)
            found = found.nextElementSibling;
        for (var j = mark.index; j > index && found; --j)
            found = found.previousElementSibling;
        return found;
    }

    // The body is shown in groups of its blocks: the browser then lays out
    // a changed block's group and the column of groups, not every block of
    // the body, which in a manual of tens of thousands of blocks is what a
    // key waits for. The groups are boxes in the body's shadow tree, each
    // with a slot to which the blocks are assigned, so the page's own DOM,
    // and what its style sheets select, stay as written. They are made
    // while the page is parsed: grouping a body laid out already would lay
    // it all out once more.
    //
    // Blocks stacked in a plain box collapse their margins as they would
    // in the body, so a column of blocks looks the same, and the line
    // breaks between them, which a column of blocks does not show, are
    // left out of the groups. A body that turns out to be anything else
    // (inline content, floats, kept line breaks, a body laid out otherwise)
    // is shown with all its nodes in one group whose box is dissolved
    // (display: contents), which shows it as written.
    //
    // After any change of the body's nodes or of an assignment the browser
    // finds the slot of every grouped node of the body again, about a
    // microsecond each: the script keeps its own list of each group's
    // nodes and assigns the changed groups once all of a patch's nodes are
    // in place, so that a patch that adds blocks costs that once, and one
    // that refills blocks nothing.
    //
    // Once the page is loaded, each group's box is laid out and painted on
    // its own (layout and paint containment): a block that grows or
    // shrinks then moves the later boxes as they are. Without it the
    // browser, after laying out the change, visits every later block of
    // the body to paint it at its new place, which in a large manual takes
    // a frame of a third of a second whenever a block's height changes.
    // Painted on its own, a box cuts off whatever its blocks show outside
    // it, so a group with a block that reaches out of its box (wide
    // content, a block moved by a relative position) is laid out on its own
    // only. A box laid out on its own keeps its blocks' margins inside,
    // where in the body they would collapse with their neighbours' across
    // the box's edge: each box gets a margin that makes up the difference
    // (see the box edges below).
    var groupSize = typeof varnokeGroupSize !== 'undefined' ? varnokeGroupSize : 256;

    function grouped(groups, node) {
        return node.nodeType === Node.ELEMENT_NODE ||
            (groups.dissolved && node.nodeType === Node.TEXT_NODE);
    }

    // A group: its slot and the nodes assigned to it, in the body's order.
    function newGroup(groups, after) {
        var doc = groups.body.ownerDocument;
        var box = doc.createElement('div');
        var group = {slot: box.appendChild(doc.createElement('slot')), nodes: [], changed: false,
            touched: false, kind: 'plain', fits: false, unmeasured: true};
        // A box of its own in the page's painting: a group moved by a
        // change above it moves as a whole, so that the browser does not
        // visit every block after a change to paint it at its new place.
        box.style.transform = 'translateX(0)';
        if (groups.dissolved)
            box.style.display = 'contents';
        var at = after ? groups.list.indexOf(after) + 1 : groups.list.length;
        var next = groups.list[at];
        groups.root.insertBefore(box, next ? next.slot.parentNode : null);
        groups.list.splice(at, 0, group);
        return group;
    }

    function join(groups, group, nodes) {
        for (var i = 0; i < nodes.length; ++i)
            groups.of.set(nodes[i], group);
    }

    function changed(groups, group) {
        if (!group.changed) {
            group.changed = true;
            groups.changed.push(group);
        }
        touch(groups, group);
    }

    // A group whose blocks changed: its edges are measured again.
    function touch(groups, group) {
        if (group && !group.touched) {
            group.touched = true;
            groups.touched.push(group);
        }
    }

    // The changed groups assigned their nodes, all at once.
    function assignChanged(groups) {
        groups.changed.forEach(function (group) {
            group.changed = false;
            group.slot.assign.apply(group.slot, group.nodes);
        });
        groups.changed = [];
    }

    // A dissolved body has one group for all its nodes: text between two
    // groups would not be laid out as it is between two nodes of one.
    function groupLimit(groups) {
        return groups.dissolved ? Infinity : groupSize;
    }

    // Nodes at the end of the body fill the last group, then new ones.
    function append(groups, nodes) {
        var group = groups.list[groups.list.length - 1] || newGroup(groups, null);
        for (var from = 0; from < nodes.length;) {
            if (group.nodes.length >= groupLimit(groups))
                group = newGroup(groups, group);
            var take = Math.min(groupLimit(groups) - group.nodes.length, nodes.length - from);
            var added = nodes.slice(from, from + take);
            join(groups, group, added);
            group.nodes = group.nodes.concat(added);
            from += take;
            changed(groups, group);
        }
        assignChanged(groups);
    }

    // The whole body grouped afresh.
    function regroup(groups) {
        while (groups.root.firstChild)
            groups.root.removeChild(groups.root.firstChild);
        groups.list = [];
        groups.of = new WeakMap();
        groups.changed = [];
        groups.touched = [];
        groups.refilled = [];
        groups.ends = null;
        append(groups, Array.prototype.filter.call(groups.body.childNodes, function (node) {
            return grouped(groups, node);
        }));
    }

    // The browser finds the slots of all the body's nodes again after an
    // assignment, and the parser slows down with every slot the body has,
    // so while the page is parsed only its first pieces are assigned at
    // once (a reloaded page is not blank for longer than it must be), the
    // rest when the parser is done: a page of 10 MB then loads about as
    // fast as without groups. Anything else it does
    // (a node put elsewhere, one removed) has the body grouped afresh once
    // it is parsed.
    function parsed(groups, records) {
        var tail = [];
        var start = groups.lastNode ? groups.lastNode.nextSibling : groups.body.firstChild;
        if (groups.lastNode && groups.lastNode.parentNode !== groups.body)
            groups.irregular = true;
        for (var node = start; node && !groups.irregular; node = node.nextSibling) {
            if (grouped(groups, node))
                tail.push(node);
        }
        var added = records ? 0 : tail.length; // at first, what the body holds
        (records || []).forEach(function (record) {
            if (record.removedNodes.length)
                groups.irregular = true;
            Array.prototype.forEach.call(record.addedNodes, function (node) {
                if (node.parentNode === groups.body && grouped(groups, node))
                    ++added;
            });
        });
        if (added !== tail.length)
            groups.irregular = true;
        if (groups.irregular || !tail.length)
            return;
        groups.lastNode = tail[tail.length - 1];
        Array.prototype.push.apply(groups.waiting, tail);
        if (groups.shown < groupSize)
            assignWaiting(groups);
    }

    function assignWaiting(groups) {
        append(groups, groups.waiting);
        groups.shown += groups.waiting.length;
        groups.waiting = [];
    }

    function parsingDone(groups) {
        if (groups.irregular)
            regroup(groups);
        else
            assignWaiting(groups);
        groups.waiting = null;
        groups.lastNode = null;
    }

    // Nodes added together before a grouped node of the body (null: after
    // the last one) join its group; a group grown twice its size is parted
    // in two. Assigned with the patch's other changes. False when that node
    // is in no group, which would leave the new ones unseen.
    function insert(groups, nodes, before) {
        var group = before ? groups.of.get(before)
            : groups.list[groups.list.length - 1] || newGroup(groups, null);
        var at = group ? (before ? group.nodes.indexOf(before) : group.nodes.length) : -1;
        if (at < 0)
            return false;
        join(groups, group, nodes);
        group.nodes = group.nodes.slice(0, at).concat(nodes, group.nodes.slice(at));
        changed(groups, group);
        if (group.nodes.length > 2 * groupLimit(groups)) {
            var half = group.nodes.length >> 1;
            var second = newGroup(groups, group);
            second.nodes = group.nodes.slice(half);
            group.nodes = group.nodes.slice(0, half);
            join(groups, second, second.nodes);
            changed(groups, second);
        }
        return true;
    }

    // A node taken out of the body leaves its group.
    function leave(groups, node) {
        var group = groups.of.get(node);
        if (!group)
            return;
        groups.of.delete(node);
        var at = group.nodes.indexOf(node);
        if (at >= 0)
            group.nodes.splice(at, 1);
        changed(groups, group);
    }

    function groupBody(doc) {
        var body = doc.body;
        if (!body || body.nodeName !== 'BODY' || body.shadowRoot || !body.attachShadow)
            return;
        var groups = doc.varnokeGroups = {
            body: body,
            root: body.attachShadow({mode: 'open', slotAssignment: 'manual'}),
            list: [],
            of: new WeakMap(),
            changed: [],
            touched: [],
            refilled: [],
            ends: null,
            contained: false,
            dissolved: false,
            irregular: false,
            lastNode: null,
            waiting: [],
            shown: 0
        };
        if (doc.readyState !== 'loading') {
            regroup(groups);
            return;
        }
        var watch = new MutationObserver(function (records) {
            if (groups.waiting)
                parsed(groups, records);
            else
                watch.disconnect();
        });
        watch.observe(body, {childList: true});
        parsed(groups, null);
        doc.addEventListener('DOMContentLoaded', function () {
            watch.disconnect();
            parsingDone(groups);
        });
    }

    // Groups the body as soon as the parser makes it.
    function groupWhenParsed(doc) {
        if (doc.body) {
            groupBody(doc);
            return;
        }
        var watch = new MutationObserver(function () {
            if (!doc.body)
                return;
            watch.disconnect();
            groupBody(doc);
        });
        watch.observe(doc, {childList: true, subtree: true});
    }

    function flowsAsBlocks(element, view) {
        var style = view.getComputedStyle(element);
        return style.display === 'block' && style.float === 'none' &&
            (style.position === 'static' || style.position === 'relative');
    }

    // Markup that may place content outside its block (a style sheet of
    // its own, a position given in place): the group's box, a box of its
    // own in the painting, would become what such content is placed in, so
    // a body that holds it is shown as written.
    var PlacedElsewhere = 'style, link, [style*="position" i]';

    function bodyOfBlocks(doc) {
        var view = doc.defaultView;
        var body = view.getComputedStyle(doc.body);
        if (body.display !== 'block' || body.columnCount !== 'auto' ||
            body.writingMode !== 'horizontal-tb' ||
            (body.whiteSpace !== 'normal' && body.whiteSpace !== 'nowrap'))
            return false;
        for (var node = doc.body.firstChild; node; node = node.nextSibling) {
            if (node.nodeType === Node.TEXT_NODE ? !blank(node.data)
                : node.nodeType === Node.ELEMENT_NODE && !flowsAsBlocks(node, view))
                return false;
        }
        return !doc.body.querySelector(PlacedElsewhere);
    }

    // Once the page and its style sheets are loaded: a body that is not a
    // column of blocks is shown as written, in one group without a box.
    function checkGroups(doc) {
        var groups = doc.varnokeGroups;
        if (!groups || groups.dissolved)
            return;
        if (bodyOfBlocks(doc)) {
            groups.contained = true;
            refit(doc);
            watchWidth(doc);
            return;
        }
        groups.dissolved = true;
        regroup(groups);
    }

    // Every group told again: its kind, its edges, whether it fits in its
    // box.
    function refit(doc) {
        var groups = doc.varnokeGroups;
        groups.list.forEach(function (group) {
            group.unmeasured = true;
            touch(groups, group);
        });
        fitEdges(doc, groups, []);
    }

    // At another width the blocks wrap otherwise (a word too long for a
    // narrower column reaches out of its block, a margin may be a share of
    // the width): the groups are told again once the resizing pauses, not
    // at every step of it, since telling them reads every block.
    var RefitDelayMs = 100;

    function watchWidth(doc) {
        var view = doc.defaultView;
        var width = view.innerWidth;
        var timer = null;
        view.addEventListener('resize', function () {
            if (view.innerWidth === width)
                return;
            width = view.innerWidth;
            clearTimeout(timer);
            timer = setTimeout(function () {
                refit(doc);
            }, RefitDelayMs);
        });
    }

    // The box edges. Adjoining vertical margins collapse into one: the
    // largest positive margin plus the most negative one. A margin set is
    // kept as those two, in whole 64ths of a pixel as the browser lays
    // them out.
    function noMargins() {
        return {positive: 0, negative: 0};
    }

    function addMargin(margins, text) {
        var value = Math.trunc(parseFloat(text) * 64) / 64 || 0;
        if (value > 0)
            margins.positive = Math.max(margins.positive, value);
        else
            margins.negative = Math.min(margins.negative, value);
    }

    function joined(first, second) {
        return {
            positive: Math.max(first.positive, second.positive),
            negative: Math.min(first.negative, second.negative)
        };
    }

    function collapsed(margins) {
        return margins.positive + margins.negative;
    }

    // The margin that, collapsing with `margins`, gives `wanted`.
    function marginFor(margins, wanted) {
        return wanted >= collapsed(margins) ? wanted - margins.negative
            : wanted - margins.positive;
    }

    // A block that shows nothing lets the margins before and after it
    // collapse through it.
    function collapsesThrough(block, style) {
        return block.offsetHeight === 0 && style.overflow === 'visible';
    }

    // The margins that meet at one edge of a group's blocks (`last`: the
    // bottom edge), read from that edge inward through the blocks that
    // show nothing; true when every block of the group shows nothing.
    function edgeMargins(view, group, last, margins) {
        var count = group.nodes.length;
        for (var k = 0; k < count; ++k) {
            var block = group.nodes[last ? count - 1 - k : k];
            var style = view.getComputedStyle(block);
            addMargin(margins, last ? style.marginBottom : style.marginTop);
            if (!collapsesThrough(block, style))
                return false;
            addMargin(margins, last ? style.marginTop : style.marginBottom);
        }
        return true;
    }

    // A group lays out on its own ('solid') unless it holds no block
    // ('empty': no box at all), only blocks that show nothing ('through':
    // they stand in the body's column as written, their margins meeting
    // the boxes' around them) or the first or last blocks of the body
    // ('plain': a box that is not laid out on its own, as before the page
    // was loaded). At the body's edges the browser leaves out some of the
    // blocks' own margins in a page without a standard document type; it
    // does so only for the body's own column.
    function groupKind(view, group, end) {
        return !group.nodes.length ? 'empty' : end ? 'plain'
            : edgeMargins(view, group, false, noMargins()) ? 'through' : 'solid';
    }

    // A group that stands in the body's column with its blocks' margins
    // meeting its neighbours'.
    function barrier(group) {
        return group.kind === 'solid' || group.kind === 'plain';
    }

    // The first and last groups that hold blocks.
    function ends(groups) {
        var list = groups.list;
        var first = 0;
        while (first < list.length && !list[first].nodes.length)
            ++first;
        var last = list.length - 1;
        while (last > first && !list[last].nodes.length)
            --last;
        return [list[first], list[last]];
    }

    // Where the body's blocks stand across: its content box.
    function column(doc) {
        var view = doc.defaultView;
        var shown = doc.body.getBoundingClientRect();
        var style = view.getComputedStyle(doc.body);
        return {
            left: shown.left + parseFloat(style.borderLeftWidth) + parseFloat(style.paddingLeft),
            right: shown.right - parseFloat(style.borderRightWidth) - parseFloat(style.paddingRight)
        };
    }

    // Whether a block shows nothing outside its group's box, wherever in
    // the group it stands: it keeps to the column, reaches neither up nor
    // down past its own margins and its content keeps inside it. Told
    // without the boxes' own layout, so that all boxes are read first and
    // then changed.
    function fitsIn(view, block, area) {
        var shown = block.getBoundingClientRect();
        var style = view.getComputedStyle(block);
        var offset = function (value) {
            return value === 'auto' || parseFloat(value) === 0;
        };
        return shown.left >= area.left && shown.right <= area.right &&
            parseFloat(style.marginTop) >= 0 && parseFloat(style.marginBottom) >= 0 &&
            (style.position === 'static' || (offset(style.top) && offset(style.bottom))) &&
            block.scrollWidth <= block.clientWidth && block.scrollHeight <= block.clientHeight;
    }

    // Whether the body's margin at an edge ('Top' or 'Bottom') meets its
    // blocks' margins there.
    function bodyMeets(view, body, side) {
        var style = view.getComputedStyle(body);
        return parseFloat(style['padding' + side]) === 0 &&
            parseFloat(style['border' + side + 'Width']) === 0 && style.overflow === 'visible';
    }

    function barrierFrom(groups, index) {
        while (index < groups.list.length && !barrier(groups.list[index]))
            ++index;
        return index;
    }

    // The stretch of the body between the group before `index` that
    // stands in the column and the one at `index` (the body's end when
    // past the last group): the margin of the solid box that meets it, at
    // its top or bottom, such that the margins that meet there collapse as
    // they would without boxes.
    function edgeOf(doc, groups, index) {
        var view = doc.defaultView;
        var list = groups.list;
        var before = index - 1;
        while (before >= 0 && !barrier(list[before]))
            --before;
        var above = list[before] || null;
        var below = list[index] || null;
        var upper = noMargins();
        var between = noMargins();
        var lower = noMargins();
        var fromTop = !above;
        if (above) {
            fromTop = edgeMargins(view, above, true, above.kind === 'plain' ? between : upper) &&
                above.kind === 'plain' && list.indexOf(above) === barrierFrom(groups, 0);
        }
        if (fromTop && bodyMeets(view, doc.body, 'Top'))
            addMargin(between, view.getComputedStyle(doc.body).marginTop);
        for (var k = before + 1; k < index; ++k) {
            if (list[k].kind === 'through')
                edgeMargins(view, list[k], false, between);
        }
        var toBottom = !below;
        if (below) {
            toBottom = edgeMargins(view, below, false, below.kind === 'plain' ? between : lower) &&
                below.kind === 'plain' && barrierFrom(groups, index + 1) === list.length;
        }
        if (toBottom && bodyMeets(view, doc.body, 'Bottom'))
            addMargin(between, view.getComputedStyle(doc.body).marginBottom);
        var wanted = collapsed(joined(joined(upper, between), lower)) - collapsed(upper) -
            collapsed(lower);
        var margin = marginFor(between, wanted) + 'px';
        if (below && below.kind === 'solid')
            return {group: below, top: true, margin: margin};
        return {group: above && above.kind === 'solid' ? above : null, top: false, margin: margin};
    }

    // After a change, the touched groups' kinds, the edges around them and
    // whether their boxes are painted on their own: a solid group's box is
    // while every block fits in it, all of them told when the group became
    // solid or did not fit, else the blocks the patch made or refilled.
    // Everything is read first and then written, so that the browser lays
    // out the body once for all of it.
    function fitEdges(doc, groups, placed) {
        var touched = groups.touched;
        var refilled = groups.refilled;
        groups.touched = [];
        groups.refilled = [];
        if (!groups.contained || !touched.length)
            return;
        var view = doc.defaultView;
        var area = column(doc);
        var blocks = new Map();
        refilled.concat(placed).forEach(function (block) {
            var group = groups.of.get(block);
            if (group)
                blocks.set(group, (blocks.get(group) || []).concat([block]));
        });
        var wereEnds = groups.ends || [];
        groups.ends = ends(groups);
        wereEnds.concat(groups.ends).forEach(function (group) {
            if (group && wereEnds.indexOf(group) !== groups.ends.indexOf(group))
                touch(groups, group);
        });
        touched = touched.concat(groups.touched);
        groups.touched = [];
        var reshaped = touched.filter(function (group) {
            group.touched = false;
            var kind = groupKind(view, group, groups.ends.indexOf(group) >= 0);
            var was = group.kind;
            group.kind = kind;
            var all = kind !== was || !group.fits || group.unmeasured;
            group.unmeasured = false;
            var fits = kind === 'solid' && (all ? group.nodes : blocks.get(group) || []).every(
                function (block) {
                    return fitsIn(view, block, area);
                });
            var changed = kind !== was || fits !== group.fits;
            group.fits = fits;
            return changed;
        });
        var indices = new Set();
        touched.forEach(function (group) {
            var at = groups.list.indexOf(group);
            if (at < 0)
                return;
            indices.add(barrierFrom(groups, at));
            indices.add(barrierFrom(groups, at + 1));
        });
        var edges = [];
        indices.forEach(function (index) {
            edges.push(edgeOf(doc, groups, index));
        });
        reshaped.forEach(function (group) {
            var box = group.slot.parentNode.style;
            box.display = group.kind === 'empty' ? 'none' : group.kind === 'through' ? 'contents' : '';
            box.contain = group.kind !== 'solid' ? '' : group.fits ? 'layout paint' : 'layout';
            box.marginTop = box.marginBottom = '';
        });
        edges.forEach(function (edge) {
            if (edge.top) {
                edge.group.slot.parentNode.style.marginTop = edge.margin;
                return;
            }
            // Only the box before the last group meets a stretch with its
            // bottom.
            if (!edge.group)
                return;
            groups.list.forEach(function (group) {
                group.slot.parentNode.style.marginBottom = group === edge.group ? edge.margin : '';
            });
        });
    }

    function sameShell(shown, made) {
        if (shown.nodeName !== made.nodeName || shown.attributes.length !== made.attributes.length)
            return false;
        for (var i = 0; i < made.attributes.length; ++i) {
            var attribute = made.attributes[i];
            if (shown.getAttribute(attribute.name) !== attribute.value)
                return false;
        }
        return true;
    }

    // Gives a shown block the content of a new one of the same tag and
    // attributes. The page ends as if the block had been replaced, but the
    // browser lays out only the changed text, not a new block among
    // thousands.
    function refill(shown, made) {
        var text = shown.firstChild;
        var newText = made.firstChild;
        if (text && newText && !text.nextSibling && !newText.nextSibling &&
            text.nodeType === Node.TEXT_NODE && newText.nodeType === Node.TEXT_NODE) {
            if (text.data !== newText.data)
                text.data = newText.data;
            return;
        }
        while (shown.firstChild)
            shown.removeChild(shown.firstChild);
        while (made.firstChild)
            shown.appendChild(made.firstChild);
    }

    // The anchors of the headings on a body page ("h1" and "h2") are
    // numbered in a row each, as are the menu's links to a page's anchors.
    // When a patch adds or removes a heading, the later numbers change: the
    // page counts them again from the first changed block on, by attribute
    // writes that lay nothing out, in pieces after the patch has been
    // answered, for they are not what the author waits for. A page holds
    // one count at a time, the place it has reached and the next number of
    // each kind: everything before that place is numbered already, so a
    // later change before it moves the place and its numbers, and one after
    // it is counted over as it comes.
    function kindOf(doc, block) {
        var kind = block.nodeName === 'H1' ? 'h1' : block.nodeName === 'H2' ? 'h2' : null;
        var count = doc.varnokeNumbering;
        if (!kind || !count || !count.page)
            return kind;
        var link = block.firstElementChild;
        var address = link && link.getAttribute('href');
        return address && address.lastIndexOf(count.page + '#', 0) === 0 ? kind : null;
    }

    // The count is moved by a change of the blocks [index, index + removed)
    // into `made`: a change before its place shifts the place and adds or
    // takes the change's headings; a change over its place starts the
    // count where the change does, its numbers less the headings before
    // the place that the change removed. Both are given as the blocks'
    // kinds, read before the change (a refilled block gives its content
    // away).
    function moveCount(doc, index, removed, made) {
        var count = doc.varnokeNumbering;
        if (!count)
            return;
        count.block = null;
        if (index >= count.index)
            return;
        var end = index + removed.length;
        var upTo = end <= count.index ? removed.length : count.index - index;
        for (var i = 0; i < upTo; ++i) {
            if (removed[i])
                --count[removed[i]];
        }
        if (end > count.index) {
            count.index = index;
            return;
        }
        made.forEach(function (kind) {
            if (kind)
                ++count[kind];
        });
        count.index += made.length - removed.length;
    }

    // Counts on from where the page has reached, `steps` blocks at most
    // (all when not given); true once it has reached the end: of the page,
    // or in the menu the first link to another page.
    function countOn(doc, steps) {
        var count = doc.varnokeNumbering;
        var block = count.block && count.block.parentNode === doc.body ? count.block
            : elementAt(doc, count.index);
        for (var done = 0; block && !(done >= steps); ++done) {
            var link = block.firstElementChild;
            if (count.page) {
                var address = link && link.getAttribute('href');
                if (!address || address.lastIndexOf(count.page + '#', 0) !== 0) {
                    block = null;
                    break;
                }
                if (block.nodeName === 'H1' || block.nodeName === 'H2') {
                    var kind = block.nodeName === 'H1' ? 'h1' : 'h2';
                    var wanted = count.page + '#' + kind + count[kind]++;
                    if (address !== wanted)
                        link.setAttribute('href', wanted);
                }
            } else if ((block.nodeName === 'H1' || block.nodeName === 'H2') && link) {
                var name = (block.nodeName === 'H1' ? 'h1' : 'h2');
                name += count[name]++;
                if (link.getAttribute('name') !== name)
                    link.setAttribute('name', name);
            }
            ++count.index;
            block = block.nextElementSibling;
        }
        count.block = block;
        if (block)
            return false;
        doc.varnokeNumbering = null;
        return true;
    }

    // A renumbering from a block on, whose anchors (or links to `page`,
    // in the menu) take the numbers h1 and h2 on: a count under way before
    // that block covers it already.
    function countFrom(doc, index, h1, h2, page) {
        var count = doc.varnokeNumbering;
        if (count && count.page !== page)
            countOn(doc);
        else if (count && count.index < index)
            return;
        doc.varnokeNumbering = {index: index, block: null, h1: h1, h2: h2, page: page};
        countLater();
    }

    // The counts go on in pieces, each a task of its own, so that a patch
    // that comes meanwhile waits for one piece at most.
    var countsScheduled = false;
    var CountSteps = 1024;

    function countLater() {
        if (countsScheduled)
            return;
        countsScheduled = true;
        setTimeout(function () {
            countsScheduled = false;
            var steps = typeof window.varnokeCountSteps === 'number' ? window.varnokeCountSteps
                : CountSteps;
            var pending = false;
            shownDocuments().forEach(function (doc) {
                if (doc.varnokeNumbering && !countOn(doc, steps))
                    pending = true;
            });
            if (pending)
                countLater();
        }, 0);
    }

    // True once every shown page has counted its numbers.
    function allCounted() {
        return shownDocuments().every(function (doc) {
            return !doc.varnokeNumbering;
        });
    }

    // trailing: the elements after the blocks (the closing paragraph). The
    // body's children are found once and then by their siblings: a lookup
    // by index after a change walks the body from its start. The blocks
    // added join their groups when the patch is done with the page.
    function splice(doc, change, trailing, placed) {
        var body = doc.body;
        var groups = doc.varnokeGroups;
        var count = elementCount(doc);
        if (change.index < 0 || change.index + change.removed > count - trailing)
            return false;
        var made = [];
        for (var m = 0; m < change.inserted.length; ++m) {
            var node = element(doc, decode(change.inserted[m]));
            if (!node)
                return false;
            made.push(node);
        }
        var madeKinds = made.map(function (block) {
            return kindOf(doc, block);
        });
        var at = elementAt(doc, change.index);
        var removed = [];
        var kept = 0;
        for (; kept < change.removed && kept < made.length && sameShell(at, made[kept]); ++kept) {
            var following = at.nextElementSibling;
            removed.push(kindOf(doc, at));
            refill(at, made[kept]);
            if (groups) {
                touch(groups, groups.of.get(at));
                groups.refilled.push(at);
            }
            at = following;
        }
        for (var k = kept; k < change.removed; ++k) {
            var next = at.nextElementSibling;
            var spacing = at.previousSibling;
            removed.push(kindOf(doc, at));
            if (spacing && spacing.nodeType === Node.TEXT_NODE) {
                body.removeChild(spacing);
                if (groups)
                    leave(groups, spacing);
            }
            body.removeChild(at);
            if (groups)
                leave(groups, at);
            at = next;
        }
        var added = [];
        var before = at || body.lastChild;
        for (var i = kept; i < made.length; ++i) {
            var lineBreak = doc.createTextNode('\n');
            var pair = at ? [made[i], lineBreak] : [lineBreak, made[i]];
            body.insertBefore(pair[0], before);
            body.insertBefore(pair[1], before);
            added.push(pair[0], pair[1]);
        }
        moveCount(doc, change.index, removed, madeKinds);
        doc.varnokeElements = count - change.removed + made.length;
        doc.varnokeMark = {element: at, index: change.index + made.length};
        if (!groups || !added.length)
            return true;
        Array.prototype.push.apply(placed, made.slice(kept));
        return groups.dissolved ? insert(groups, added, before)
            : insert(groups, made.slice(kept), at);
    }

    // One change of the patch on one shown page: null when it is not for
    // that page, else whether the page took it.
    function change(doc, name, item, placed) {
        var menu = name === 'menu.html';
        if (!item.renumber)
            return item.page === name ? splice(doc, item, menu ? 0 : 1, placed) : null;
        var h1 = item.h1[0] + item.h1[1];
        var h2 = item.h2[0] + item.h2[1];
        if (item.page === name) {
            if (item.element < 0 || item.element > elementCount(doc))
                return false;
            countFrom(doc, item.element, h1, h2, '');
            return true;
        }
        if (!menu || item.entry < 0)
            return null;
        if (item.entry > elementCount(doc))
            return false;
        countFrom(doc, item.entry, h1, h2, item.page);
        return true;
    }

    // New blocks of a patch, in a grouped body, only when they stand in a
    // column of blocks (else a fresh load shows the page as written). A
    // block a later change of the same patch took out again stands nowhere.
    function standInColumn(doc, placed) {
        var groups = doc.varnokeGroups;
        if (!groups)
            return true;
        placed = placed.filter(function (element) {
            return element.parentNode === doc.body;
        });
        assignChanged(groups);
        fitEdges(doc, groups, placed);
        return groups.dissolved || placed.every(function (element) {
            return flowsAsBlocks(element, doc.defaultView) && !element.matches(PlacedElsewhere) &&
                !element.querySelector(PlacedElsewhere);
        });
    }

    // True when every shown page the patch names took it and holds as many
    // elements as the window expects; false asks the window for a reload.
    function patch(changes) {
        var ok = true;
        shownDocuments().forEach(function (doc) {
            var name = pageName(doc);
            var touched = false;
            var placed = [];
            changes.splices.forEach(function (item) {
                if (!ok)
                    return;
                var took = change(doc, name, item, placed);
                if (took !== null) {
                    ok = took;
                    touched = true;
                }
            });
            if (touched && !standInColumn(doc, placed))
                ok = false;
            var trailing = name === 'menu.html' ? 0 : 1;
            if (name in changes.counts && elementCount(doc) !== changes.counts[name] + trailing)
                ok = false;
            if (touched)
                void doc.body.offsetHeight; // laid out before the answer
        });
        return ok;
    }

    // The frame of the frame set that shows the body pages (the menu's
    // links open in it), or null.
    function bodyFrame() {
        var frame = window.frames.mainframe;
        try {
            return frame && frame.document ? frame : null;
        } catch (e) {
            return null;
        }
    }

    // Scrolls the page so that the block (and in a paragraph its line) is
    // in view; a block in view already stays where it is. A body page that
    // is not shown is opened in the body frame when the window expects it
    // (mayOpen): true then, and the window follows again once it has loaded.
    function follow(place, mayOpen) {
        var shown = false;
        shownDocuments().forEach(function (doc) {
            if (pageName(doc) !== place.page)
                return;
            shown = true;
            var block = elementAt(doc, place.block);
            if (!block)
                return;
            var target = block;
            if (place.line > 0) {
                var breaks = block.getElementsByTagName('br');
                if (breaks.length >= place.line)
                    target = breaks[place.line - 1];
            }
            var view = doc.defaultView;
            var box = target.getBoundingClientRect();
            if (box.top >= 0 && Math.min(box.bottom, box.top + 40) <= view.innerHeight)
                return;
            view.scrollBy(0, box.top - view.innerHeight / 3);
        });
        var frame = shown || !mayOpen ? null : bodyFrame();
        if (!frame)
            return false;
        frame.location.replace(place.page);
        return true;
    }

    // Loads frames afresh: each named frame shows its page again where the
    // reader was, or the page the frame set names for it when its page is
    // empty.
    var restoring = {};

    function reload(frames) {
        frames.forEach(function (shown) {
            var frame = window.frames[shown.frame];
            restoring[shown.frame] = shown;
            frame.location.replace(shown.page || frame.frameElement.getAttribute('src'));
        });
    }

    // The place a frame's new document is to show, once.
    function restored(frame) {
        var was = restoring[frame];
        delete restoring[frame];
        return was;
    }

    // The block of the body a point is in; between blocks (in a margin) the
    // one below the point, below the last block the last one.
    function blockAt(event) {
        var block = event.target;
        while (block && block.parentNode !== document.body)
            block = block.parentNode;
        if (block && block.nodeType === Node.ELEMENT_NODE)
            return block;
        var kids = document.body ? document.body.children : [];
        var found = null;
        for (var i = 0; i < kids.length; ++i) {
            var box = kids[i].getBoundingClientRect();
            if (box.height === 0)
                continue;
            found = kids[i];
            if (box.bottom >= event.clientY)
                break;
        }
        return found;
    }

    document.addEventListener('dblclick', function (event) {
        var block = blockAt(event);
        if (!block)
            return;
        var index = Array.prototype.indexOf.call(document.body.children, block);
        var line = 0;
        var at = document.caretRangeFromPoint(event.clientX, event.clientY);
        var node = at ? at.startContainer : event.target;
        var breaks = block.getElementsByTagName('br');
        for (var i = 0; i < breaks.length; ++i) {
            if (!(breaks[i].compareDocumentPosition(node) & Node.DOCUMENT_POSITION_FOLLOWING))
                break;
            line = i + 1;
        }
        console.log('varnoke-place\t' + pageName(document) + '\t' + index + '\t' + line);
    });

    // Where the reader is: for the top document and each frame, the frame's
    // name, the page it shows and its scroll offset.
    function place() {
        return shownDocuments().map(function (doc) {
            var view = doc.defaultView;
            return {
                frame: view === window.top ? '' : view.name,
                page: pageName(doc),
                x: view.scrollX,
                y: view.scrollY
            };
        });
    }

    // A reload puts the reader back: the window hands each document of the
    // new load the place taken before it (varnokeRestore). A frame that
    // showed another page goes back to it (the window names only pages that
    // still exist); a frame on its page gets its scroll offset back.
    function restorePlace() {
        var places = typeof varnokeRestore === 'undefined' ? [] : varnokeRestore;
        var frame = window === window.top ? '' : window.name;
        try {
            var reloaded = frame && window.top.varnokePreview.restored(frame);
            if (reloaded)
                places = reloaded.page === pageName(document) ? [reloaded] : [];
        } catch (e) {
        }
        places.forEach(function (was) {
            if (was.frame !== frame)
                return;
            if (was.page !== pageName(document))
                location.replace(was.page);
            else
                window.scrollTo(was.x, was.y);
        });
    }

    // A frame's page has loaded: the window holds its patches until then.
    function tellLoaded() {
        if (window !== window.top && location.protocol === 'file:')
            console.log('varnoke-loaded\t' + window.name + '\t' + pageName(document));
    }

    function loaded() {
        checkGroups(document);
        tellLoaded();
    }

    // The browser gives this script to the documents of a load, but not to
    // a page opened later in a frame (a link of the menu, the caret
    // followed): the frame set's document gives it to those once they have
    // loaded, with the group size it was given.
    function adoptFrame(event) {
        var frame = event.target;
        if (frame.nodeName !== 'FRAME' && frame.nodeName !== 'IFRAME')
            return;
        try {
            var view = frame.contentWindow;
            if (!view || view.varnokePreview || view.location.protocol !== 'file:')
                return;
            view.varnokeGroupSize = groupSize;
            view.eval('(' + varnokePageScript.toString() + ')();');
        } catch (e) {
        }
    }

    groupWhenParsed(document);
    if (document.readyState === 'loading')
        document.addEventListener('DOMContentLoaded', restorePlace);
    else
        restorePlace();
    if (document.readyState === 'complete')
        loaded();
    else
        window.addEventListener('load', loaded);
    if (window === window.top)
        document.addEventListener('load', adoptFrame, true);
    window.varnokePreview = {
        patch: patch,
        counted: allCounted,
        follow: follow,
        place: place,
        reload: reload,
        restored: restored
    };
})();
