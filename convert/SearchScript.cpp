#include "convert/SearchScript.h"

#include <algorithm>
#include <string>

namespace varnoke {

namespace {

// ASCII only: Japanese texts are \u escapes. The data follows this code in
// the same file, as a call of varnokeSearch.load.
constexpr std::string_view Script =
    R"js(// Varnoke's search: any run of characters of the manual, found after the
// same folding of query and text (NFKC, lower case, katakana as hiragana).
var varnokeSearch = (function () {
    'use strict';
    var LIMIT = 100;
    var SNIPPET = 40;
    var TEXTS = {
        none: '\u898b\u3064\u304b\u308a\u307e\u305b\u3093',
        found: ' \u4ef6',
        shown: ' \u4ef6\u4e2d ',
        shownTail: ' \u4ef6\u3092\u8868\u793a',
        top: '\u5192\u982d',
        path: ' \u203a ',
        more: '\u2026'
    };
    // The 93 symbols of the data: printable ASCII but the quote and the
    // backslash, so that the data needs no escapes in its string.
    var VALUE = new Int8Array(128).fill(-1);
    for (var c = 32, v = 0; c < 127; ++c)
        if (c !== 34 && c !== 92)
            VALUE[c] = v++;
    var BASE = 93;
    var ESCAPE = 92;
    var MARK = /^\p{M}/u;

    // What every code unit folds into: one unit, or -1 when it folds into
    // more or fewer units or together with the marks after it.
    var fold1 = new Int32Array(65536).fill(-2);
    var mark = new Uint8Array(65536); // folds into a combining mark
    var foldedMark = new Uint8Array(65536); // 0 not known, 1 no, 2 yes

    function kana(s) {
        return s.replace(/[\u30a1-\u30f6\u30fd\u30fe]/g, function (k) {
            return String.fromCharCode(k.charCodeAt(0) - 0x60);
        });
    }
    function fold(s) {
        return kana(s.normalize('NFKC').toLowerCase());
    }
    function learn(u) {
        if (fold1[u] !== -2)
            return;
        if (u >= 0xd800 && u <= 0xdfff) {
            fold1[u] = -1;
            return;
        }
        var s = String.fromCharCode(u).normalize('NFKC');
        mark[u] = MARK.test(s) ? 1 : 0;
        var f = kana(s.toLowerCase());
        fold1[u] = f.length === 1 && !mark[u] ? f.charCodeAt(0) : -1;
    }
    function isFoldedMark(u) {
        var m = foldedMark[u];
        if (m === 0)
            m = foldedMark[u] = MARK.test(String.fromCharCode(u)) ? 2 : 1;
        return m === 2;
    }

    // A string of code units: decoded at once where the browser can (the
    // text holds no lone surrogates), else in pieces.
    var utf16 = typeof TextDecoder !== 'undefined' ? new TextDecoder('utf-16le') : null;
    function units(array, n) {
        if (utf16)
            return utf16.decode(array.subarray(0, n));
        var parts = [];
        for (var i = 0; i < n; i += 8192)
            parts.push(String.fromCharCode.apply(null, array.subarray(i, Math.min(n, i + 8192))));
        return parts.join('');
    }

    // The data's text as code units: each symbol run names a rank of the
    // table, or an escape gives a unit itself.
    function decode(data) {
        var table = new Uint16Array(data.table.length / 3);
        var t = data.table;
        for (var e = 0; e < table.length; ++e) {
            table[e] = (VALUE[t.charCodeAt(3 * e)] * BASE + VALUE[t.charCodeAt(3 * e + 1)]) * BASE +
                VALUE[t.charCodeAt(3 * e + 2)];
            learn(table[e]);
        }
        var s = data.text;
        var n = s.length;
        var out = new Uint16Array(n);
        var singles = data.singles, doubles = data.doubles;
        var doubleEnd = singles + doubles, triples = singles + doubles * BASE;
        var j = 0;
        for (var i = 0; i < n;) {
            var v = VALUE[s.charCodeAt(i++)];
            if (v < singles) {
                out[j++] = table[v];
            } else if (v < doubleEnd) {
                out[j++] = table[singles + (v - singles) * BASE + VALUE[s.charCodeAt(i++)]];
            } else if (v < ESCAPE) {
                var r = ((v - doubleEnd) * BASE + VALUE[s.charCodeAt(i)]) * BASE +
                    VALUE[s.charCodeAt(i + 1)];
                i += 2;
                out[j++] = table[triples + r];
            } else {
                var u = (VALUE[s.charCodeAt(i)] * BASE + VALUE[s.charCodeAt(i + 1)]) * BASE +
                    VALUE[s.charCodeAt(i + 2)];
                i += 3;
                learn(u);
                out[j++] = u;
            }
        }
        return {units: out, length: j};
    }

    // Folds the text unit by unit; a character with marks after it, a
    // surrogate pair, or a unit that folds into another length is a piece
    // of its own, whose places in both texts are kept to map hits back.
    function foldText(src, n, index) {
        var out = new Uint16Array(n + 64);
        var counts = new Int32Array(65536);
        var j = 0;
        var po = [], poe = [], pf = [], pfe = [], starts = [], kinds = [];
        for (var i = 0; i < n;) {
            var u = src[i];
            if (u > 0 && u < 4) {
                starts.push(j);
                kinds.push(u);
            }
            var f = fold1[u];
            if (f >= 0 && (i + 1 >= n || !mark[src[i + 1]])) {
                if (j >= out.length)
                    out = grown(out, j + 1);
                out[j++] = f;
                ++counts[f];
                ++i;
                continue;
            }
            var k = i + 1;
            if (u >= 0xd800 && u < 0xdc00 && k < n && src[k] >= 0xdc00 && src[k] < 0xe000)
                ++k;
            while (k < n && mark[src[k]])
                ++k;
            var folded = fold(String.fromCharCode.apply(null, src.subarray(i, k)));
            if (j + folded.length > out.length)
                out = grown(out, j + folded.length);
            po.push(i);
            poe.push(k);
            pf.push(j);
            for (var m = 0; m < folded.length; ++m) {
                out[j] = folded.charCodeAt(m);
                ++counts[out[j++]];
            }
            pfe.push(j);
            i = k;
        }
        index.foldedUnits = out.subarray(0, j);
        index.folded = units(out, j);
        index.unitCounts = counts;
        index.pieceOrig = Int32Array.from(po);
        index.pieceOrigEnd = Int32Array.from(poe);
        index.pieceFold = Int32Array.from(pf);
        index.pieceFoldEnd = Int32Array.from(pfe);
        index.starts = Int32Array.from(starts);
        index.kinds = Uint8Array.from(kinds);
    }
    function grown(array, least) {
        var bigger = new Uint16Array(Math.max(least, array.length * 2));
        bigger.set(array);
        return bigger;
    }

    // The last piece that starts at or before p in `starts`, or -1.
    function pieceAt(starts, p) {
        var lo = 0, hi = starts.length;
        while (lo < hi) {
            var mid = (lo + hi) >> 1;
            if (starts[mid] <= p)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo - 1;
    }
    // A place in the folded text as a place in the text; a place inside a
    // piece is its start, or its end for the end of a hit.
    function origOf(p, end) {
        var k = pieceAt(index.pieceFold, p);
        if (k < 0)
            return p;
        if (p < index.pieceFoldEnd[k])
            return end && p > index.pieceFold[k] ? index.pieceOrigEnd[k] : index.pieceOrig[k];
        return index.pieceOrigEnd[k] + (p - index.pieceFoldEnd[k]);
    }
    function foldedOf(o) {
        var k = pieceAt(index.pieceOrig, o);
        if (k < 0)
            return o;
        if (o < index.pieceOrigEnd[k])
            return index.pieceFold[k];
        return index.pieceFoldEnd[k] + (o - index.pieceOrigEnd[k]);
    }

    // Each section's heading end, anchor and main heading, numbered as the
    // menu numbers them.
    function number(data) {
        var n = index.starts.length, text = index.folded;
        index.headEnd = new Int32Array(n);
        index.page = new Int32Array(n);
        index.anchor = new Int32Array(n);
        index.main = new Int32Array(n);
        var page = 0, h1 = 0, h2 = 0, mainSeen = false, main = -1;
        for (var s = 0; s < n; ++s) {
            var end = s + 1 < n ? index.starts[s + 1] : text.length;
            var line = text.indexOf('\n', index.starts[s]);
            index.headEnd[s] = line >= 0 && line < end ? line : end;
            var kind = index.kinds[s];
            if (kind === 1) {
                if (data.split && mainSeen) {
                    ++page;
                    h1 = 0;
                    h2 = 0;
                }
                mainSeen = true;
                main = s;
                index.anchor[s] = h1++;
            } else if (kind === 2) {
                index.anchor[s] = h2++;
            }
            index.page[s] = page;
            index.main[s] = kind === 2 ? main : -1;
        }
        var count = Math.max(n, 1);
        index.stamp = new Int32Array(count);
        index.found = new Int32Array(count);
        index.lastWord = new Int32Array(count);
        index.hits = new Int32Array(count);
        index.headWords = new Int32Array(count);
        index.headLast = new Int32Array(count);
        index.firstBody = new Int32Array(count);
        index.generation = 0;
        index.places = new Int32Array(1024);
    }

    var index = null;

    function load(data) {
        var decoded = decode(data);
        // The text stays in units: a result needs only a few pieces of it.
        index = {split: data.split, frames: data.frames, units: decoded.units};
        foldText(decoded.units, decoded.length, index);
        number(data);
        if (typeof document !== 'undefined' && document.getElementById('query'))
            start();
    }

    function words(query) {
        var seen = {}, list = [];
        fold(query).split(/[\s\u0000-\u001f]+/).forEach(function (w) {
            if (w && !seen[w]) {
                seen[w] = true;
                list.push(w);
            }
        });
        return list;
    }

    // The places of the word, without overlaps, that do not end inside a
    // character with marks, into index.places; returns their number. A word
    // whose first character is rare is found by the browser's own search;
    // one whose first character is everywhere by a loop over the units,
    // as a call a hit would cost more than the loop.
    function hits(word) {
        var length = word.length, units = index.foldedUnits, size = units.length;
        var places = index.places, count = 0;
        if (index.unitCounts[word.charCodeAt(0)] * 64 < size) {
            var text = index.folded;
            for (var pos = text.indexOf(word); pos >= 0;) {
                var end = pos + length;
                if (end < size && isFoldedMark(units[end])) {
                    pos = text.indexOf(word, pos + 1);
                    continue;
                }
                if (count === places.length)
                    places = index.places = grownPlaces(places);
                places[count++] = pos;
                pos = text.indexOf(word, end);
            }
            return count;
        }
        var codes = new Uint16Array(length);
        for (var c = 0; c < length; ++c)
            codes[c] = word.charCodeAt(c);
        var first = codes[0];
        for (var p = 0, last = size - length; p <= last; ++p) {
            if (units[p] !== first)
                continue;
            var k = 1;
            while (k < length && units[p + k] === codes[k])
                ++k;
            if (k < length || (p + length < size && isFoldedMark(units[p + length])))
                continue;
            if (count === places.length)
                places = index.places = grownPlaces(places);
            places[count++] = p;
            p += length - 1;
        }
        return count;
    }
    function grownPlaces(places) {
        var bigger = new Int32Array(places.length * 2);
        bigger.set(places);
        return bigger;
    }

    // Sections that hold every word; hits counted without overlaps.
    function match(list) {
        var starts = index.starts, n = starts.length;
        var gen = ++index.generation;
        var touched = [];
        for (var w = 0; w < list.length; ++w) {
            var count = hits(list[w]), places = index.places, s = 0;
            for (var h = 0; h < count; ++h) {
                var pos = places[h];
                while (s + 1 < n && starts[s + 1] <= pos)
                    ++s;
                if (index.stamp[s] !== gen) {
                    if (w > 0)
                        continue;
                    index.stamp[s] = gen;
                    index.found[s] = 0;
                    index.lastWord[s] = -1;
                    index.hits[s] = 0;
                    index.headWords[s] = 0;
                    index.headLast[s] = -1;
                    index.firstBody[s] = 0x7fffffff;
                    touched.push(s);
                }
                if (index.found[s] >= w) {
                    if (index.lastWord[s] !== w) {
                        index.lastWord[s] = w;
                        ++index.found[s];
                    }
                    ++index.hits[s];
                    if (pos < index.headEnd[s]) {
                        if (index.headLast[s] !== w) {
                            index.headLast[s] = w;
                            ++index.headWords[s];
                        }
                    } else if (pos < index.firstBody[s]) {
                        index.firstBody[s] = pos;
                    }
                }
            }
        }
        return touched.filter(function (t) { return index.found[t] === list.length; });
    }

    // Sections whose heading holds every word first, then by hits, then in
    // the manual's order: the best `limit` of them, kept in a heap.
    function best(sections, wordCount, limit) {
        function better(a, b) {
            var ha = index.headWords[a] === wordCount, hb = index.headWords[b] === wordCount;
            if (ha !== hb)
                return ha;
            if (index.hits[a] !== index.hits[b])
                return index.hits[a] > index.hits[b];
            return a < b;
        }
        var heap = [];
        function down(i) {
            for (;;) {
                var l = 2 * i + 1, r = l + 1, worst = i;
                if (l < heap.length && better(heap[worst], heap[l]))
                    worst = l;
                if (r < heap.length && better(heap[worst], heap[r]))
                    worst = r;
                if (worst === i)
                    return;
                var t = heap[i];
                heap[i] = heap[worst];
                heap[worst] = t;
                i = worst;
            }
        }
        sections.forEach(function (s) {
            if (heap.length < limit) {
                heap.push(s);
                for (var i = heap.length - 1; i > 0;) {
                    var p = (i - 1) >> 1;
                    if (!better(heap[p], heap[i]))
                        break;
                    var t = heap[i];
                    heap[i] = heap[p];
                    heap[p] = t;
                    i = p;
                }
            } else if (limit > 0 && better(s, heap[0])) {
                heap[0] = s;
                down(0);
            }
        });
        return heap.sort(function (a, b) { return better(a, b) ? -1 : better(b, a) ? 1 : 0; });
    }

    function sectionEnd(s) {
        return s + 1 < index.starts.length ? index.starts[s + 1] : index.folded.length;
    }
    function headingText(s) {
        if (index.kinds[s] === 3)
            return TEXTS.top;
        return slice(origOf(index.starts[s] + 1, false), origOf(index.headEnd[s], true));
    }
    function path(s) {
        var main = index.main[s];
        return main >= 0 ? headingText(main) + TEXTS.path + headingText(s) : headingText(s);
    }
    function address(s) {
        var page = index.split ? 'text' + index.page[s] + '.html' : 'text.html';
        var kind = index.kinds[s];
        return kind === 1 ? page + '#h1' + index.anchor[s]
            : kind === 2 ? page + '#h2' + index.anchor[s] : page;
    }

    // About SNIPPET characters of the body around its first hit, as runs of
    // plain and marked text.
    function snippet(s, list) {
        var bodyStart = origOf(index.headEnd[s], true) + 1;
        var bodyEnd = origOf(sectionEnd(s), true);
        if (bodyStart >= bodyEnd)
            return [];
        var first = index.firstBody[s] === 0x7fffffff ? bodyStart : origOf(index.firstBody[s], false);
        var from = Math.max(bodyStart, first - (SNIPPET >> 2));
        var to = Math.min(bodyEnd, from + SNIPPET);
        from = Math.max(bodyStart, to - SNIPPET);
        var marks = [];
        var a = foldedOf(from), b = foldedOf(to);
        list.forEach(function (word) {
            for (var p = index.folded.indexOf(word, a); p >= 0 && p < b;
                p = index.folded.indexOf(word, p + word.length))
                marks.push([Math.max(from, origOf(p, false)), Math.min(to, origOf(p + word.length, true))]);
        });
        marks.sort(function (x, y) { return x[0] - y[0]; });
        var runs = [];
        if (from > bodyStart)
            runs.push({text: TEXTS.more, hit: false});
        var at = from;
        marks.forEach(function (m) {
            if (m[1] <= at)
                return;
            var start = Math.max(at, m[0]);
            if (start > at)
                runs.push({text: plain(at, start), hit: false});
            runs.push({text: plain(start, m[1]), hit: true});
            at = m[1];
        });
        if (to > at)
            runs.push({text: plain(at, to), hit: false});
        if (to < bodyEnd)
            runs.push({text: TEXTS.more, hit: false});
        return runs;
    }
    function slice(from, to) {
        return units(index.units.subarray(from, to), to - from);
    }
    function plain(from, to) {
        return slice(from, to).replace(/\n/g, ' ');
    }

    // The results of a query: the total, and the best LIMIT sections.
    function find(query) {
        var list = words(query);
        if (!index || !list.length)
            return {total: 0, results: []};
        var sections = match(list);
        return {
            total: sections.length,
            results: best(sections, list.length, LIMIT).map(function (s) {
                return {path: path(s), address: address(s), snippet: snippet(s, list)};
            })
        };
    }

    function show(query) {
        var found = find(query);
        var count = document.getElementById('count');
        var list = document.getElementById('results');
        while (list.firstChild)
            list.removeChild(list.firstChild);
        if (!words(query).length)
            count.textContent = '';
        else if (!found.total)
            count.textContent = TEXTS.none;
        else if (found.total > found.results.length)
            count.textContent = found.total + TEXTS.shown + found.results.length + TEXTS.shownTail;
        else
            count.textContent = found.total + TEXTS.found;
        found.results.forEach(function (result) {
            var item = document.createElement('li');
            var link = document.createElement('a');
            link.href = result.address;
            if (index.frames)
                link.target = 'mainframe';
            link.textContent = result.path;
            item.appendChild(link);
            var text = document.createElement('div');
            result.snippet.forEach(function (run) {
                if (run.hit) {
                    var hit = document.createElement('mark');
                    hit.textContent = run.text;
                    text.appendChild(hit);
                } else {
                    text.appendChild(document.createTextNode(run.text));
                }
            });
            item.appendChild(text);
            list.appendChild(item);
        });
        return found;
    }

    function queryOfAddress() {
        var pairs = location.search.replace(/^\?/, '').split('&');
        for (var i = 0; i < pairs.length; ++i) {
            var pair = pairs[i].split('=');
            if (pair[0] === 'q' && pair.length > 1) {
                try {
                    return decodeURIComponent(pair.slice(1).join('=').replace(/\+/g, ' '));
                } catch (e) {
                    return '';
                }
            }
        }
        return '';
    }
    // The query stays in the address, so that a result list can be
    // reloaded and bookmarked; false when the browser refuses.
    function keep(query) {
        try {
            history.replaceState(null, '', query ? '?q=' + encodeURIComponent(query)
                : location.pathname.replace(/^.*\//, ''));
            return true;
        } catch (e) {
            return false;
        }
    }

    function start() {
        var field = document.getElementById('query');
        var query = queryOfAddress();
        if (query) {
            field.value = query;
            show(query);
        }
        field.addEventListener('input', function () {
            show(field.value);
            keep(field.value);
        });
        field.form.addEventListener('submit', function (event) {
            event.preventDefault();
            show(field.value);
            if (!keep(field.value))
                location.href = 'search.html?q=' + encodeURIComponent(field.value);
        });
    }

    return {load: load, find: find, show: show};
})();
)js";

// The code as the reader's browser gets it: without the comments and the
// indentation, which are for us. A small manual's search.js is mostly code.
// Line breaks stay, so that no statement runs into the next.
std::string WithoutCommentsAndIndentation(std::string_view code) {
    std::string shipped;
    shipped.reserve(code.size());
    while (!code.empty()) {
        const size_t end = code.find('\n');
        std::string_view line = code.substr(0, end);
        code.remove_prefix(end == std::string_view::npos ? code.size() : end + 1);
        line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
        if (line.empty() || line.substr(0, 2) == "//")
            continue;
        shipped.append(line);
        shipped += '\n';
    }
    return shipped;
}

} // namespace

std::string_view SearchScript() {
    static const std::string shipped = WithoutCommentsAndIndentation(Script);
    return shipped;
}

} // namespace varnoke
