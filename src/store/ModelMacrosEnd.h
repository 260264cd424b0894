// Ends one expansion of the model list: every macro Model.def uses is released, so the next
// expansion can give them its own meaning. Included after each #include "store/Model.def".
#undef ENTITY
#undef END_ENTITY
#undef STRING
#undef DECIMAL
#undef INTEGER
#undef BOOLEAN
#undef DOUBLE
#undef NUMBER
#undef DATE
#undef BLOB
#undef TO_ONE
#undef TO_ONE_INVERSE
#undef TO_MANY
#undef ORDERED
#undef MANY_TO_MANY
#undef KEY
