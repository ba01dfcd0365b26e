// A script's submit() sends its form without a "submit" event: announce it
// first, synchronously, so that the browser's form script (in its own world)
// decides the form's target before the form is sent. Runs in the page's own
// world, in every frame, before the page's scripts.
(() => {
    'use strict';
    const send = HTMLFormElement.prototype.submit;
    const dispatch = EventTarget.prototype.dispatchEvent;
    Object.defineProperty(HTMLFormElement.prototype, 'submit', {
        configurable: true,
        enumerable: true,
        writable: true,
        value: function submit() {
            dispatch.call(this, new Event('lotscope-submit'));
            return send.call(this);
        },
    });
})();
