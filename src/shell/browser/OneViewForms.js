// Forms meant for a new window are sent in the one view instead, as a
// navigation of the whole page: the engine hands a new window only its
// address, so such a form would otherwise lose its method and its data.
// Runs in every frame, in a world of its own, before the page's scripts.
(() => {
    'use strict';

    const isWindow = (x) => {
        try {
            return x != null && x.window === x;
        } catch (e) {
            return false;
        }
    };

    // The window's own members that name windows; a frame cannot be found
    // by these names.
    const members = new Set(['window', 'self', 'frames', 'top', 'parent', 'opener', 'content']);

    // Whether a frame of this page goes by the name (a child's name is
    // found through its parent, which may read it when the child may not).
    const frameNamed = (name) => {
        if (members.has(name))
            return false;
        const search = (w) => {
            try {
                if (isWindow(w[name]))
                    return true;
            } catch (e) {
            }
            let count = 0;
            try {
                count = w.frames.length;
            } catch (e) {
            }
            for (let i = 0; i < count; ++i) {
                if (search(w.frames[i]))
                    return true;
            }
            return false;
        };
        try {
            if (window.top.name === name)
                return true;
        } catch (e) {
        }
        return search(window.top);
    };

    // Whether the engine would make a new window for a target: "_blank", or
    // a name no frame of the page goes by. An empty target is the page's
    // default, taken from its base element.
    const opensNewWindow = (target) => {
        if (target === '') {
            const base = document.querySelector('base[target]');
            target = base ? base.getAttribute('target') : '';
        }
        const keyword = target.trim().toLowerCase();
        if (keyword === '' || keyword === '_self' || keyword === '_parent' || keyword === '_top')
            return false;
        return keyword === '_blank' || !frameNamed(target);
    };

    const retarget = (element, attribute) => {
        if (opensNewWindow(element.getAttribute(attribute) || ''))
            element.setAttribute(attribute, '_top');
    };

    // The target of a submission is read after its "submit" event (a submit
    // button's formtarget before the form's target), so it can be decided
    // here. The user's submissions and a script's requestSubmit() fire that
    // event; a script's submit() fires none and announces itself with the
    // "lotscope-submit" event that OneViewSubmit.js, in the page's world,
    // sends first.
    const decide = (event) => {
        const form = event.target, button = event.submitter;
        if (!(form instanceof HTMLFormElement))
            return;
        if (button && button.hasAttribute('formtarget'))
            retarget(button, 'formtarget');
        else
            retarget(form, 'target');
    };
    window.addEventListener('submit', decide, true);
    window.addEventListener('lotscope-submit', decide, true);
})();
