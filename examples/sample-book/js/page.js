// Shows the tracking variables that the installation wrote into js/suivi.js.
(function () {
    var names = ["AuthorUser", "AuthorSKU", "AuthorPartner", "ReaderUser", "ReaderAutorunCount",
                 "ReaderSKU", "ReaderPartner", "WebBookID"];
    var lines = names.map(function (name) {
        return name + " = " + (typeof window[name] === "undefined" ? "(absent)" : window[name]);
    });
    document.getElementById("suivi").textContent = lines.join("\n");
})();
