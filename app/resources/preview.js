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
            if (after.nodeType !== Node.TEXT_NODE || after.data.trim() !== '')
                return null;
        }
        return node;
    }

    // The number of elements in a page's body, counted once and then kept
    // by the patches: counting them again after a change walks the whole
    // body, which at tens of thousands of blocks costs more than the patch.
    function elementCount(doc) {
        if (doc.varnokeCount === undefined)
            doc.varnokeCount = doc.body.children.length;
        return doc.varnokeCount;
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
    // in the body, so a column of blocks looks the same. A body that turns
    // out to be anything else (inline content, floats, a body laid out
    // otherwise) is shown in one group whose box is dissolved (display:
    // contents), which shows it as written.
    //
    // The slots know their nodes; the script keeps no list of its own.
    // After any assignment the browser finds the slot of every node of the
    // body again, about a microsecond each: a patch that adds blocks costs
    // that once, one that refills blocks nothing.
    var groupNodes = typeof varnokeGroupNodes !== 'undefined' ? varnokeGroupNodes : 512;

    function showable(node) {
        return node.nodeType === Node.ELEMENT_NODE || node.nodeType === Node.TEXT_NODE;
    }

    function newGroup(groups, after) {
        var doc = groups.body.ownerDocument;
        var box = doc.createElement('div');
        box.appendChild(doc.createElement('slot'));
        if (groups.dissolved)
            box.style.display = 'contents';
        groups.root.insertBefore(box, after ? after.nextSibling : null);
        return box.firstChild;
    }

    function assign(slot, nodes) {
        slot.assign.apply(slot, nodes);
    }

    // A dissolved body has one group for all its nodes: text between two
    // groups would not be laid out as it is between two nodes of one.
    function groupLimit(groups) {
        return groups.dissolved ? Infinity : groupNodes;
    }

    // Nodes at the end of the body fill the last group, then new ones.
    function append(groups, nodes) {
        var lastBox = groups.root.lastChild;
        var slot = lastBox ? lastBox.firstChild : newGroup(groups, null);
        var filled = slot.assignedNodes();
        var from = 0;
        while (from < nodes.length) {
            if (filled.length >= groupLimit(groups)) {
                slot = newGroup(groups, slot.parentNode);
                filled = [];
            }
            var take = Math.min(groupLimit(groups) - filled.length, nodes.length - from);
            filled = filled.concat(nodes.slice(from, from + take));
            from += take;
            assign(slot, filled);
        }
    }

    // The whole body grouped afresh.
    function regroup(groups) {
        while (groups.root.firstChild)
            groups.root.removeChild(groups.root.firstChild);
        append(groups, Array.prototype.filter.call(groups.body.childNodes, showable));
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
            if (showable(node))
                tail.push(node);
        }
        var added = records ? 0 : tail.length; // at first, what the body holds
        (records || []).forEach(function (record) {
            if (record.removedNodes.length)
                groups.irregular = true;
            Array.prototype.forEach.call(record.addedNodes, function (node) {
                if (node.parentNode === groups.body && showable(node))
                    ++added;
            });
        });
        if (added !== tail.length)
            groups.irregular = true;
        if (groups.irregular || !tail.length)
            return;
        groups.lastNode = tail[tail.length - 1];
        Array.prototype.push.apply(groups.waiting, tail);
        if (groups.shown < groupNodes)
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

    // Nodes added together before a node of the body join its group; a
    // group grown twice its size is parted in two. False when that node is
    // in no group, which would leave the new ones unseen.
    function insert(groups, nodes, before) {
        var slot = before.assignedSlot;
        if (!slot)
            return false;
        var assigned = slot.assignedNodes();
        var at = assigned.indexOf(before);
        assigned = assigned.slice(0, at).concat(nodes, assigned.slice(at));
        if (assigned.length <= 2 * groupLimit(groups)) {
            assign(slot, assigned);
            return true;
        }
        var half = assigned.length >> 1;
        assign(slot, assigned.slice(0, half));
        assign(newGroup(groups, slot.parentNode), assigned.slice(half));
        return true;
    }

    function groupBody(doc) {
        var body = doc.body;
        if (!body || body.nodeName !== 'BODY' || body.shadowRoot || !body.attachShadow)
            return;
        var groups = doc.varnokeGroups = {
            body: body,
            root: body.attachShadow({mode: 'open', slotAssignment: 'manual'}),
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

    function bodyOfBlocks(doc) {
        var view = doc.defaultView;
        var body = view.getComputedStyle(doc.body);
        if (body.display !== 'block' || body.columnCount !== 'auto' ||
            body.writingMode !== 'horizontal-tb')
            return false;
        for (var node = doc.body.firstChild; node; node = node.nextSibling) {
            if (node.nodeType === Node.TEXT_NODE ? node.data.trim() !== ''
                : node.nodeType === Node.ELEMENT_NODE && !flowsAsBlocks(node, view))
                return false;
        }
        return true;
    }

    // Once the page and its style sheets are loaded: a body that is not a
    // column of blocks is shown as written, in one group without a box.
    function checkGroups(doc) {
        var groups = doc.varnokeGroups;
        if (!groups || groups.dissolved || bodyOfBlocks(doc))
            return;
        groups.dissolved = true;
        regroup(groups);
    }

    // New blocks of a patch: in their group, and in a grouped body only
    // when they stand in a column of blocks (else a fresh load shows the
    // page as written). False asks for a reload.
    function placePatched(doc, nodes, before, made) {
        var groups = doc.varnokeGroups;
        if (!groups)
            return true;
        if (!insert(groups, nodes, before))
            return false;
        return groups.dissolved || made.every(function (element) {
            return flowsAsBlocks(element, doc.defaultView);
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

    // trailing: the elements after the blocks (the closing paragraph). The
    // body's children are found once and then by their siblings: a lookup
    // by index after a change walks the body from its start.
    function splice(doc, change, trailing) {
        var body = doc.body;
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
        var at = elementAt(doc, change.index);
        var kept = 0;
        for (; kept < change.removed && kept < made.length && sameShell(at, made[kept]); ++kept) {
            var following = at.nextElementSibling;
            refill(at, made[kept]);
            at = following;
        }
        for (var k = kept; k < change.removed; ++k) {
            var next = at.nextElementSibling;
            var spacing = at.previousSibling;
            if (spacing && spacing.nodeType === Node.TEXT_NODE)
                body.removeChild(spacing);
            body.removeChild(at);
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
        doc.varnokeCount = count - change.removed + made.length;
        doc.varnokeMark = {element: at, index: change.index + made.length};
        return !added.length || placePatched(doc, added, before, made.slice(kept));
    }

    // The anchors of a renumbering ("h1" and "h2"): the number each next
    // one must have and what is added to it.
    function anchorNumbers(change) {
        return {
            H1: {prefix: 'h1', next: change.h1[0], shift: change.h1[1]},
            H2: {prefix: 'h2', next: change.h2[0], shift: change.h2[1]}
        };
    }

    // Renumbers in place, by attribute writes that lay nothing out, the
    // anchors of a body page from an element on. Each must have the next
    // number in a row, else the page is not what the window expects.
    function renumberAnchors(doc, change) {
        if (change.element < 0 || change.element > elementCount(doc))
            return false;
        var numbers = anchorNumbers(change);
        for (var block = elementAt(doc, change.element); block; block = block.nextElementSibling) {
            var kind = numbers[block.nodeName];
            if (!kind || !kind.shift)
                continue;
            var anchor = block.firstElementChild;
            if (!anchor || anchor.getAttribute('name') !== kind.prefix + kind.next)
                return false;
            anchor.setAttribute('name', kind.prefix + (kind.next + kind.shift));
            ++kind.next;
        }
        return true;
    }

    // The menu's links to those anchors, from an entry on to the first link
    // to another page.
    function renumberLinks(doc, change) {
        if (change.entry > elementCount(doc))
            return false;
        var numbers = anchorNumbers(change);
        var page = change.page + '#';
        for (var entry = elementAt(doc, change.entry); entry; entry = entry.nextElementSibling) {
            var link = entry.firstElementChild;
            var address = link && link.getAttribute('href');
            if (!address || address.lastIndexOf(page, 0) !== 0)
                break;
            var kind = numbers[entry.nodeName];
            if (!kind || !kind.shift)
                continue;
            if (address !== page + kind.prefix + kind.next)
                return false;
            link.setAttribute('href', page + kind.prefix + (kind.next + kind.shift));
            ++kind.next;
        }
        return true;
    }

    // One change of the patch on one shown page: null when it is not for
    // that page, else whether the page took it.
    function change(doc, name, item) {
        var menu = name === 'menu.html';
        if (!item.renumber)
            return item.page === name ? splice(doc, item, menu ? 0 : 1) : null;
        if (item.page === name)
            return renumberAnchors(doc, item);
        return menu && item.entry >= 0 ? renumberLinks(doc, item) : null;
    }

    // True when every shown page the patch names took it and holds as many
    // elements as the window expects; false asks the window for a reload.
    function patch(changes) {
        var ok = true;
        shownDocuments().forEach(function (doc) {
            var name = pageName(doc);
            var touched = false;
            changes.splices.forEach(function (item) {
                if (!ok)
                    return;
                var took = change(doc, name, item);
                if (took !== null) {
                    ok = took;
                    touched = true;
                }
            });
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
            view.varnokeGroupNodes = groupNodes;
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
        follow: follow,
        place: place,
        reload: reload,
        restored: restored
    };
})();
