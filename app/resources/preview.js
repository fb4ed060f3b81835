// The live preview's side of each page the preview shows (the frame set and
// every frame in it). The window changes a shown page in place through
// varnokePreview.patch, keeps the caret's block in view through
// varnokePreview.follow, and hears of a double-click through the console.
//
// A page's body holds its blocks as elements, each after a text node of one
// line break; the body page ends with one more element, its closing
// paragraph, and the menu with the line breaks after "</body>".
(function () {
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
    // null when it makes anything else.
    function element(doc, markup) {
        var range = doc.createRange();
        range.selectNodeContents(doc.body);
        var node = range.createContextualFragment(markup).firstChild;
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

    // A body of many blocks is shown in groups of them: the browser then
    // lays out a changed block's group and the column of groups, not every
    // block of the body. The groups live in the body's shadow tree, so the
    // page's own DOM, and what its style sheets select, stay as written.
    // Blocks stacked in a plain box collapse their margins as they would
    // in the body, so a page of blocks in normal flow looks the same;
    // anything else (inline content, floats, a body laid out otherwise) is
    // shown as it is.
    var grouping = typeof varnokeGrouping !== 'undefined' ? varnokeGrouping
        : {fewestBlocks: 2000, groupNodes: 512};

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

    function addGroup(root, nodes, after) {
        var box = root.ownerDocument.createElement('div');
        var slot = root.ownerDocument.createElement('slot');
        box.appendChild(slot);
        root.insertBefore(box, after ? after.nextSibling : null);
        slot.assign.apply(slot, nodes);
        return box;
    }

    function group(doc) {
        var body = doc.body;
        if (!body || body.nodeName !== 'BODY' || body.shadowRoot || !body.attachShadow ||
            body.childElementCount < grouping.fewestBlocks || !bodyOfBlocks(doc))
            return;
        var root = body.attachShadow({mode: 'open', slotAssignment: 'manual'});
        var nodes = [];
        for (var node = body.firstChild; node; node = node.nextSibling) {
            if (node.nodeType !== Node.ELEMENT_NODE && node.nodeType !== Node.TEXT_NODE)
                continue;
            nodes.push(node);
            if (nodes.length === grouping.groupNodes) {
                addGroup(root, nodes, root.lastChild);
                nodes = [];
            }
        }
        if (nodes.length)
            addGroup(root, nodes, root.lastChild);
    }

    // New nodes of the body join the group of the node they stand before;
    // a group grown twice its size is parted in two. False when that node
    // is in no group, which would leave the new ones unseen.
    function joinGroup(doc, nodes, before) {
        if (!doc.body.shadowRoot)
            return true;
        var slot = before.assignedSlot;
        if (!slot)
            return false;
        var assigned = slot.assignedNodes();
        var at = assigned.indexOf(before);
        assigned = assigned.slice(0, at).concat(nodes, assigned.slice(at));
        if (assigned.length <= 2 * grouping.groupNodes) {
            slot.assign.apply(slot, assigned);
            return true;
        }
        var half = assigned.length >> 1;
        slot.assign.apply(slot, assigned.slice(0, half));
        addGroup(doc.body.shadowRoot, assigned.slice(half), slot.parentNode);
        return true;
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
        var at = body.children[change.index] || null;
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
        if (added.length && !joinGroup(doc, added, before))
            return false;
        if (body.shadowRoot) {
            for (var j = kept; j < made.length; ++j) {
                if (!flowsAsBlocks(made[j], doc.defaultView))
                    return false; // a fresh load shows this page ungrouped
            }
        }
        return true;
    }

    // True when every shown page the patch names took it and holds as many
    // elements as the window expects; false asks the window for a reload.
    function patch(changes) {
        var ok = true;
        shownDocuments().forEach(function (doc) {
            var name = pageName(doc);
            if (!(name in changes.counts))
                return;
            var trailing = name === 'menu.html' ? 0 : 1;
            changes.splices.forEach(function (change) {
                if (ok && change.page === name)
                    ok = splice(doc, change, trailing);
            });
            if (elementCount(doc) !== changes.counts[name] + trailing)
                ok = false;
            void doc.body.offsetHeight; // laid out before the answer
        });
        return ok;
    }

    // Scrolls the page so that the block (and in a paragraph its line) is
    // in view; a block in view already stays where it is.
    function follow(place) {
        shownDocuments().forEach(function (doc) {
            if (pageName(doc) !== place.page)
                return;
            var block = doc.body.children[place.block];
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
        if (typeof varnokeRestore === 'undefined')
            return;
        var frame = window === window.top ? '' : window.name;
        varnokeRestore.forEach(function (was) {
            if (was.frame !== frame)
                return;
            if (was.page !== pageName(document))
                location.replace(was.page);
            else
                window.scrollTo(was.x, was.y);
        });
    }

    group(document);
    restorePlace();
    window.varnokePreview = {patch: patch, follow: follow, place: place};
})();
