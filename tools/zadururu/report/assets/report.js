// The report's one script: tables that load their rows in parts and are
// filtered and sorted in the browser, and the pointable items of a page's
// picture. Texts from the project are only ever set as text (textContent),
// never as markup; links are the report's own and are checked before use.
"use strict";

var ZR = (function () {
    var tables = {};          // name -> table state
    var pending = 0;          // tables still loading
    var step = 200;           // rows shown at first, and added by "Show more"
    var ownLink = /^(?:\.\.\/)?[A-Za-z0-9_.\/-]+\.html(?:#[A-Za-z0-9_.%=-]*)?$/;

    function ready(state) {
        document.documentElement.setAttribute("data-ready", state);
    }

    function element(tag, text, className) {
        var e = document.createElement(tag);
        if (text !== undefined && text !== null)
            e.textContent = String(text);
        if (className)
            e.className = className;
        return e;
    }

    function link(href, text) {
        if (!ownLink.test(href))
            return element("span", text);
        var a = element("a", text);
        a.setAttribute("href", href);
        return a;
    }

    // --- Tables ----------------------------------------------------------

    function cellText(value, type) {
        if (type === "links") {
            var parts = [];
            for (var i = 0; i < value.length; ++i)
                parts.push(value[i][1]);
            return parts.join(" ");
        }
        return value === null || value === undefined ? "" : String(value);
    }

    function setUp(table) {
        var name = table.getAttribute("data-table");
        var columns = [];
        var heads = table.querySelectorAll("thead th");
        for (var i = 0; i < heads.length; ++i)
            columns.push({ key: heads[i].getAttribute("data-key"), type: heads[i].getAttribute("data-type"), head: heads[i] });
        var state = {
            name: name, table: table, columns: columns, parts: parseInt(table.getAttribute("data-parts"), 10) || 1,
            anchor: table.getAttribute("data-anchor") || "", rows: [], received: {}, loaded: 0,
            shown: step, sortColumn: -1, sortDescending: false, query: [], exact: {}, focus: null,
            form: document.querySelector('form.filter[data-for="' + name + '"]'),
            more: document.querySelector('button[data-more="' + name + '"]')
        };
        tables[name] = state;
        columns.forEach(function (column, index) {
            column.head.querySelector("button").addEventListener("click", function () {
                state.sortDescending = state.sortColumn === index ? !state.sortDescending : false;
                state.sortColumn = index;
                sort(state);
                render(state);
            });
        });
        if (state.form) {
            state.form.addEventListener("submit", function (event) { event.preventDefault(); });
            state.form.querySelector('input[name="q"]').addEventListener("input", function (event) {
                state.query = event.target.value.toLowerCase().split(/\s+/).filter(function (w) { return w.length > 0; });
                state.shown = step;
                render(state);
            });
            var selects = state.form.querySelectorAll("select[data-column]");
            for (var s = 0; s < selects.length; ++s)
                selects[s].addEventListener("change", function (event) {
                    setExact(state, event.target.getAttribute("data-column"), event.target.value);
                    state.shown = step;
                    render(state);
                });
        }
        if (state.more)
            state.more.addEventListener("click", function () {
                state.shown += 5 * step;
                render(state);
            });
        ++pending;
        loadPart(state, 0);
    }

    function setExact(state, key, value) {
        if (value === "")
            delete state.exact[key];
        else
            state.exact[key] = value;
    }

    function loadPart(state, index) {
        var script = document.createElement("script");
        script.src = "data/" + state.name + "-" + index + ".js";
        script.onload = function () {
            if (!state.received[index]) {
                failed(state, "part " + (index + 1) + " of the rows did not load");
                return;
            }
            if (index + 1 < state.parts)
                loadPart(state, index + 1);
            else
                loaded(state);
        };
        script.onerror = function () { failed(state, "part " + (index + 1) + " of the rows cannot be read"); };
        document.body.appendChild(script);
    }

    function failed(state, why) {
        var note = element("p", "The table cannot be shown whole: " + why + ".", "focus-note");
        state.table.parentNode.insertBefore(note, state.table);
        ready("error");
    }

    function part(name, index, rows) {
        var state = tables[name];
        if (!state || state.received[index])
            return;
        state.received[index] = true;
        for (var r = 0; r < rows.length; ++r) {
            var cells = rows[r], text = [];
            for (var c = 0; c < state.columns.length; ++c)
                text.push(cellText(cells[c], state.columns[c].type));
            state.rows.push({ cells: cells, text: text.join("\u0001").toLowerCase() });
        }
    }

    function loaded(state) {
        applyHash(state);
        render(state);
        if (--pending === 0)
            ready("1");
    }

    function compare(state) {
        var index = state.sortColumn, type = state.columns[index].type, sign = state.sortDescending ? -1 : 1;
        return function (a, b) {
            var x = a.cells[index], y = b.cells[index], d;
            if (type === "num")
                d = (x === null ? -Infinity : x) - (y === null ? -Infinity : y);
            else if (type === "links")
                d = x.length - y.length;
            else
                d = String(x).localeCompare(String(y), undefined, { numeric: true, sensitivity: "base" });
            return sign * d;
        };
    }

    function sort(state) {
        state.rows.sort(compare(state));
        state.columns.forEach(function (column, index) {
            if (index === state.sortColumn)
                column.head.setAttribute("aria-sort", state.sortDescending ? "descending" : "ascending");
            else
                column.head.removeAttribute("aria-sort");
        });
    }

    function columnIndex(state, key) {
        for (var i = 0; i < state.columns.length; ++i)
            if (state.columns[i].key === key)
                return i;
        return -1;
    }

    function matches(state, row) {
        if (state.focus !== null && String(row.cells[0]) !== state.focus)
            return false;
        for (var key in state.exact) {
            var index = columnIndex(state, key);
            if (index >= 0 && cellText(row.cells[index], state.columns[index].type) !== state.exact[key])
                return false;
        }
        for (var w = 0; w < state.query.length; ++w)
            if (row.text.indexOf(state.query[w]) < 0)
                return false;
        return true;
    }

    function renderCell(value, type) {
        var td = element("td");
        if (type === "links") {
            if (value.length > 0) {
                var list = element("ul");
                for (var i = 0; i < value.length; ++i) {
                    var li = element("li");
                    li.appendChild(link(value[i][0], value[i][1]));
                    list.appendChild(li);
                }
                td.appendChild(list);
            }
        } else {
            td.textContent = value === null || value === undefined ? "" : String(value);
        }
        return td;
    }

    function render(state) {
        var body = state.table.tBodies[0];
        var fragment = document.createDocumentFragment();
        var count = 0, shown = 0, marked = null;
        for (var r = 0; r < state.rows.length; ++r) {
            var row = state.rows[r];
            if (!matches(state, row))
                continue;
            ++count;
            if (shown >= state.shown)
                continue;
            ++shown;
            var tr = element("tr");
            for (var c = 0; c < state.columns.length; ++c)
                tr.appendChild(renderCell(row.cells[c], state.columns[c].type));
            if (state.anchor && state.focus !== null) {
                tr.id = state.anchor + row.cells[0];
                tr.className = "marked";
                marked = marked || tr;
            }
            fragment.appendChild(tr);
        }
        while (body.firstChild)
            body.removeChild(body.firstChild);
        body.appendChild(fragment);
        if (state.more)
            state.more.hidden = shown >= count;
        if (state.form) {
            var total = state.rows.length;
            state.form.querySelector(".count").textContent =
                (count === total ? total + " rows" : count + " of " + total + " rows") + (shown < count ? ", " + shown + " shown" : "");
        }
        showFocusNote(state);
        if (marked)
            marked.scrollIntoView({ block: "center" });
    }

    function showFocusNote(state) {
        var old = document.getElementById(state.name + "-focus");
        if (old)
            old.parentNode.removeChild(old);
        var what = state.focus !== null ? state.anchor.replace(/-$/, "") + " " + state.focus : null;
        for (var key in state.exact)
            if (!state.form || !state.form.querySelector('select[data-column="' + key + '"]'))
                what = (what ? what + ", " : "") + key + " " + state.exact[key];
        if (!what)
            return;
        var note = element("p", "Showing " + what + " only. ", "focus-note");
        note.id = state.name + "-focus";
        var all = element("button", "Show all");
        all.type = "button";
        all.addEventListener("click", function () {
            history.replaceState(null, "", location.pathname);
            state.focus = null;
            state.exact = {};
            syncSelects(state);
            render(state);
        });
        note.appendChild(all);
        state.table.parentNode.insertBefore(note, state.table);
    }

    function syncSelects(state) {
        if (!state.form)
            return;
        var selects = state.form.querySelectorAll("select[data-column]");
        for (var s = 0; s < selects.length; ++s)
            selects[s].value = state.exact[selects[s].getAttribute("data-column")] || "";
    }

    // "#tag-12" shows the row of tag 12 alone; "#status=used%20nowhere" the rows whose status is that.
    function applyHash(state) {
        var hash = decodeURIComponent(location.hash.replace(/^#/, ""));
        state.focus = null;
        state.exact = {};
        if (state.anchor && hash.indexOf(state.anchor) === 0 && hash.indexOf("=") < 0) {
            state.focus = hash.substring(state.anchor.length);
        } else {
            var equals = hash.indexOf("=");
            if (equals > 0 && columnIndex(state, hash.substring(0, equals)) >= 0)
                state.exact[hash.substring(0, equals)] = hash.substring(equals + 1);
        }
        syncSelects(state);
        state.shown = step;
    }

    // --- A page's picture ------------------------------------------------

    function setUpPicture(overlay) {
        var data = document.getElementById("items");
        var items = data ? JSON.parse(data.textContent) : [];
        var tip = document.getElementById("tip");
        function show(shape, x, y) {
            var item = items[parseInt(shape.getAttribute("data-item"), 10)];
            if (!item || !tip)
                return;
            while (tip.firstChild)
                tip.removeChild(tip.firstChild);
            tip.appendChild(element("div", item.record, "what"));
            var facts = "kind " + item.kind + (item.name ? " · name " + item.name : "") + (item.uid !== null ? " · Uid " + item.uid : "");
            tip.appendChild(element("div", facts));
            if (item.bindings.length > 0) {
                var list = element("ul");
                item.bindings.forEach(function (b) {
                    list.appendChild(element("li", b[0] + ": " + (b[2] ? b[2] + " (" + b[1] + ")" : b[1] + " (not defined)")));
                });
                tip.appendChild(list);
            } else {
                tip.appendChild(element("div", "no bound tags"));
            }
            tip.hidden = false;
            place(x, y);
        }
        function place(x, y) {
            var left = Math.min(x + 16, window.innerWidth - tip.offsetWidth - 8);
            var top = y + 16 + tip.offsetHeight > window.innerHeight ? y - tip.offsetHeight - 12 : y + 16;
            tip.style.left = Math.max(4, left) + "px";
            tip.style.top = Math.max(4, top) + "px";
        }
        var shapes = overlay.querySelectorAll("a[data-item]");
        for (var i = 0; i < shapes.length; ++i) {
            shapes[i].addEventListener("mouseenter", function (event) { show(event.currentTarget, event.clientX, event.clientY); });
            shapes[i].addEventListener("mousemove", function (event) { if (!tip.hidden) place(event.clientX, event.clientY); });
            shapes[i].addEventListener("mouseleave", function () { tip.hidden = true; });
            shapes[i].addEventListener("focus", function (event) {
                var box = event.currentTarget.getBoundingClientRect();
                show(event.currentTarget, box.left, box.bottom);
            });
            shapes[i].addEventListener("blur", function () { tip.hidden = true; });
        }
        function mark() {
            var anchor = decodeURIComponent(location.hash.replace(/^#/, ""));
            for (var s = 0; s < shapes.length; ++s)
                shapes[s].classList.toggle("marked", shapes[s].getAttribute("href") === "#" + anchor);
        }
        window.addEventListener("hashchange", mark);
        mark();
    }

    function start() {
        var overlay = document.querySelector("svg.overlay");
        if (overlay)
            setUpPicture(overlay);
        var found = document.querySelectorAll("table[data-table]");
        for (var i = 0; i < found.length; ++i)
            setUp(found[i]);
        window.addEventListener("hashchange", function () {
            for (var name in tables) {
                applyHash(tables[name]);
                render(tables[name]);
            }
        });
        if (found.length === 0)
            ready("1");
    }

    if (document.readyState === "loading")
        document.addEventListener("DOMContentLoaded", start);
    else
        start();

    return { part: part };
})();
