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

    function element(doc, markup) {
        var range = doc.createRange();
        range.selectNodeContents(doc.body);
        var node = range.createContextualFragment(markup).firstChild;
        return node && node.nodeType === Node.ELEMENT_NODE ? node : null;
    }

    // trailing: the elements after the blocks (the closing paragraph).
    function splice(doc, change, trailing) {
        var body = doc.body;
        var kids = body.children;
        if (change.index < 0 || change.index + change.removed > kids.length - trailing)
            return false;
        for (var k = 0; k < change.removed; ++k) {
            var gone = kids[change.index];
            var before = gone.previousSibling;
            if (before && before.nodeType === Node.TEXT_NODE)
                body.removeChild(before);
            body.removeChild(gone);
        }
        var next = change.index < kids.length ? kids[change.index] : null;
        for (var m = 0; m < change.inserted.length; ++m) {
            var made = element(doc, decode(change.inserted[m]));
            if (!made)
                return false;
            if (next) {
                body.insertBefore(made, next);
                body.insertBefore(doc.createTextNode('\n'), next);
            } else {
                var end = body.lastChild;
                body.insertBefore(doc.createTextNode('\n'), end);
                body.insertBefore(made, end);
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
            if (doc.body.children.length !== changes.counts[name] + trailing)
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

    restorePlace();
    window.varnokePreview = {patch: patch, follow: follow, place: place};
})();
